// TDrawHost: the drawing surfaces and pictures, as the drawing commands and the parts reach
// them. A surface is a persistent 24-bit picture keyed by part index: 0 is the mothership's
// client area (it always exists), forms and image parts get theirs when they are made
// (CreateSurface). Both programs share one implementation on Qt Gui (gfx/drawengine.h); the
// console program loads it only when a script first draws (gfx/drawproxy.h keeps 表示's lines
// until then).
//
// Texts crossing this interface are UTF-8 (the commands convert), file names are system paths.
// Colours have red in the low byte. Calls report failure by their result; the reason, when
// there is one, is LastError() (ASCII or UTF-8). Nothing here throws.
// (No Japanese literal may stand in this header: it is compiled as UTF-8 by the Qt programs.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/dialoghost.h"

namespace yume {

// The mothership's client size where no window sets it (the console program, a new window).
constexpr int kMainClientWidth = 640;
constexpr int kMainClientHeight = 400;

// A font size in points as pixels (96 per inch). The height of a full-width character is the
// font's pixel size, so printed lines are 1.2 times that apart: known without measuring, so
// the cursor moves alike whether or not anything has been drawn yet.
inline int FontPixels(int points) {
  return points > 0 ? (points * 96 + 36) / 72 : 1;
}
inline int PrintLineStep(int points) {
  return FontPixels(points) * 12 / 10;
}

// Pen and brush for one shape.
struct TPenBrush {
  uint32_t PenColor = 0;
  int PenWidth = 1;
  int PenStyle = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 clear
  uint32_t BrushColor = 0;
  int BrushStyle = 0;  // 0 solid, 1 clear, 2 horizontal, 3 vertical, 4 forward diagonal,
                       // 5 backward diagonal, 6 cross, 7 diagonal cross
};

enum class TShape { Line, Rectangle, Ellipse, RoundRect, Polygon };

// Where a picture comes from: a part's surface, the clipboard, a file or bytes in memory.
struct TPictureSource {
  int Part = -1;           // >= 0: that part's surface
  bool Clipboard = false;  // the clipboard's picture (none: an empty picture)
  std::string File;        // a system path (when Data is not given)
  std::string Ext;         // the format: a lower-case extension without the dot ("png" …)
  bool FromData = false;   // decode Data instead of reading File
  std::string Data;
};

enum class TDrawStatus {
  Ok,
  NoSurface,    // the part has no surface
  CannotOpen,   // the file cannot be opened
  Unsupported,  // no decoder or encoder for the format
  Failed,       // decoding, encoding or writing failed (LastError says why)
};

class TDrawHost {
 public:
  virtual ~TDrawHost() = default;

  // ---- surfaces ----
  virtual bool HasSurface(int part) = 0;
  // Makes (or remakes) a part's surface, filled with a colour.
  virtual void CreateSurface(int part, int width, int height, uint32_t fill) = 0;
  virtual void RemoveSurface(int part) = 0;
  virtual bool SurfaceSize(int part, int& width, int& height) = 0;
  // Resizes a surface: the picture is smoothly scaled to the new size.
  virtual bool ResizeSurface(int part, int width, int height) = 0;
  // Loads a picture into a part's surface, which takes the picture's size.
  virtual TDrawStatus LoadIntoSurface(const TPictureSource& src, int part) = 0;

  // ---- the mothership ----
  // Prints lines (UTF-8) from (x, y) with the drawing font and a clear brush: each line at x,
  // or centred in the client width; returns the y below the last line (lines 1.2 times the
  // height of a full-width character apart).
  virtual int PrintLines(const std::vector<std::string>& lines, int x, int y, bool centered,
                         const TDialogFont& font) = 0;
  // Fills the whole client area with a colour, which becomes its background colour.
  virtual void Clear(uint32_t color) = 0;
  virtual uint32_t Background() = 0;
  // The mothership's client width (centring).
  virtual int ClientWidth() = 0;
  // Repaints the windows showing surfaces and lets pending paint events run.
  virtual void Flush() = 0;

  // ---- drawing on a surface ----
  // coords: Line x1 y1 x2 y2; Rectangle and Ellipse left top right bottom; RoundRect the same
  // and the corner ellipse's width and height; Polygon x y pairs.
  virtual bool DrawShape(int part, TShape shape, const std::vector<int>& coords,
                         const TPenBrush& pb) = 0;
  virtual bool SetPixel(int part, int x, int y, uint32_t color) = 0;
  virtual bool GetPixel(int part, int x, int y, uint32_t& color) = 0;
  // Text lines at (x, y): anti-aliased and blended (smooth) or plain with a clear background.
  virtual bool DrawText(int part, int x, int y, const std::vector<std::string>& lines,
                        const TDialogFont& font, bool smooth) = 0;

  // ---- pictures ----
  // Draws a picture at (x, y) (x ignored when centred); width/height > 0 resize it smoothly
  // first. drawnHeight receives the height drawn.
  virtual TDrawStatus DrawPicture(const TPictureSource& src, int part, int x, int y, int width,
                                  int height, bool centered, int& drawnHeight) = 0;
  // イメージコピー: with right or bottom positive the picture is resized to the rectangle,
  // else drawn at (left, top) at its own size.
  virtual TDrawStatus CopyPicture(const TPictureSource& src, int part, int left, int top, int right,
                                  int bottom) = 0;
  // イメージ部分コピー: a rectangle of one surface onto a rectangle of another (a destination
  // with right and bottom 0 takes the source's size).
  virtual TDrawStatus CopyRect(int srcPart, const int srcRect[4], int dstPart,
                               const int dstRect[4]) = 0;
  // イメージ半透明コピー: blends a picture over a surface with weight percent/100.
  virtual TDrawStatus BlendPicture(const TPictureSource& src, int part, int left, int top,
                                   int right, int bottom, double percent) = 0;
  // タイル描画: the destination's surface covered with copies of the source's.
  virtual bool Tile(int dstPart, int srcPart) = 0;
  // Saves a surface as a file of the format ext (lower case, no dot); quality for JPEG.
  virtual TDrawStatus SavePicture(int part, const std::string& file, const std::string& ext,
                                  int quality) = 0;
  // Encodes a surface in a format into bytes.
  virtual TDrawStatus EncodePicture(int part, const std::string& ext, int quality,
                                    std::string& out) = 0;
  virtual bool PictureToClipboard(int part) = 0;
  // The icon with an index of a program or desktop file into a part's surface.
  virtual TDrawStatus ExtractIcon(const std::string& file, int index, int part) = 0;
  // Copies a window's client area ("" = the whole desktop) onto a surface at (0,0); false
  // when no window has that title.
  virtual bool CaptureWindow(const std::string& title, int part) = 0;

  // ---- lists ----
  // The installed font families (UTF-8), sorted.
  virtual std::vector<std::string> FontFamilies() = 0;
  // The extensions (lower case) of the further picture formats that can be read.
  virtual std::vector<std::string> ExtraReadableFormats() = 0;

  // Why the last call failed (empty when it gave no reason).
  virtual std::string LastError() = 0;
};

}  // namespace yume
