// The drawing surfaces and pictures on Qt Gui (QImage and QPainter), shared by both programs:
// the window program shows the surfaces, the console program draws on them on the offscreen
// platform (so a script can draw and save a picture without a display).
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

#include "core/drawhost.h"
#include "gfx/surface.h"

namespace yume {

class TDrawEngine : public TDrawHost {
 public:
  TDrawEngine();
  ~TDrawEngine() override;

  bool HasSurface(int part) override;
  void CreateSurface(int part, int width, int height, uint32_t fill) override;
  void RemoveSurface(int part) override;
  bool SurfaceSize(int part, int& width, int& height) override;
  bool ResizeSurface(int part, int width, int height) override;
  TDrawStatus LoadIntoSurface(const TPictureSource& src, int part) override;

  int PrintLines(const std::vector<std::string>& lines, int x, int y, bool centered,
                 const TDialogFont& font) override;
  void Clear(uint32_t color) override;
  uint32_t Background() override;
  int ClientWidth() override;
  void Flush() override;

  bool DrawShape(int part, TShape shape, const std::vector<int>& coords,
                 const TPenBrush& pb) override;
  bool SetPixel(int part, int x, int y, uint32_t color) override;
  bool GetPixel(int part, int x, int y, uint32_t& color) override;
  bool DrawText(int part, int x, int y, const std::vector<std::string>& lines,
                const TDialogFont& font, bool smooth) override;

  TDrawStatus DrawPicture(const TPictureSource& src, int part, int x, int y, int width, int height,
                          bool centered, int& drawnHeight) override;
  TDrawStatus CopyPicture(const TPictureSource& src, int part, int left, int top, int right,
                          int bottom) override;
  TDrawStatus CopyRect(int srcPart, const int srcRect[4], int dstPart,
                       const int dstRect[4]) override;
  TDrawStatus BlendPicture(const TPictureSource& src, int part, int left, int top, int right,
                           int bottom, double percent) override;
  bool Tile(int dstPart, int srcPart) override;
  TDrawStatus SavePicture(int part, const std::string& file, const std::string& ext,
                          int quality) override;
  TDrawStatus EncodePicture(int part, const std::string& ext, int quality,
                            std::string& out) override;
  bool PictureToClipboard(int part) override;
  TDrawStatus ExtractIcon(const std::string& file, int index, int part) override;
  bool CaptureWindow(const std::string& title, int part) override;

  std::vector<std::string> FontFamilies() override;
  std::vector<std::string> ExtraReadableFormats() override;
  std::string LastError() override { return error_; }

  // A picture from its source (empty on failure; error_ says why).
  TDrawStatus Load(const TPictureSource& src, QImage& out);
  // The font a specification stands for: an installed family (else the stand-in for the
  // default font), its size in points at 96 pixels per inch, its styles.
  static QFont ResolveFont(const TDialogFont& f);

 private:
  // The kept painter of a part's surface (TSurfaces::Painter); null when the part has none.
  QPainter* Painter(int part);
  void EndPainter();
  void Changed(int part);

  std::string error_;
};

// Colours: ours have red in the low byte.
QColor ToQColor(uint32_t c);
uint32_t FromQRgb(QRgb c);

}  // namespace yume
