// The drawing host both programs connect (no Qt here): it stands for the engine on Qt Gui
// (gfx/drawengine.h) and opens it through the host's event loop when a script first draws.
// Until then 表示 only records its lines (what, where, with which font), so a script that only
// prints never loads Qt; the recorded lines are drawn as soon as the engine opens, so a picture
// saved later shows them. Kept: the lines that start inside the default client area, the latest
// kMaxRecords calls (earlier ones there are mostly drawn over).
#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "core/drawhost.h"

namespace yume {

class TDrawProxy : public TDrawHost {
 public:
  static constexpr size_t kMaxRecords = 4096;

  // open makes the engine (raises when it cannot); ready tells whether opening is cheap now
  // (Qt already loaded), in which case printing opens it at once.
  TDrawProxy(std::function<std::unique_ptr<TDrawHost>()> open, std::function<bool()> ready)
      : open_(std::move(open)), ready_(std::move(ready)) {}

  bool Opened() const { return real_ != nullptr; }
  size_t Recorded() const { return records_.size(); }
  // The engine, opened now if it was not yet.
  TDrawHost& Real();

  bool HasSurface(int part) override { return Real().HasSurface(part); }
  void CreateSurface(int part, int width, int height, uint32_t fill) override {
    Real().CreateSurface(part, width, height, fill);
  }
  void RemoveSurface(int part) override {
    if (real_) real_->RemoveSurface(part);
  }
  bool SurfaceSize(int part, int& width, int& height) override {
    return Real().SurfaceSize(part, width, height);
  }
  bool ResizeSurface(int part, int width, int height) override {
    return Real().ResizeSurface(part, width, height);
  }
  TDrawStatus LoadIntoSurface(const TPictureSource& src, int part) override {
    return Real().LoadIntoSurface(src, part);
  }
  int PrintLines(const std::vector<std::string>& lines, int x, int y, bool centered,
                 const TDialogFont& font) override;
  void Clear(uint32_t color) override { Real().Clear(color); }
  uint32_t Background() override { return real_ ? real_->Background() : 0xFFFFFF; }
  int ClientWidth() override { return real_ ? real_->ClientWidth() : kMainClientWidth; }
  void Flush() override {
    if (real_) real_->Flush();
  }
  bool DrawShape(int part, TShape shape, const std::vector<int>& coords,
                 const TPenBrush& pb) override {
    return Real().DrawShape(part, shape, coords, pb);
  }
  bool SetPixel(int part, int x, int y, uint32_t color) override {
    return Real().SetPixel(part, x, y, color);
  }
  bool GetPixel(int part, int x, int y, uint32_t& color) override {
    return Real().GetPixel(part, x, y, color);
  }
  bool DrawText(int part, int x, int y, const std::vector<std::string>& lines,
                const TDialogFont& font, bool smooth) override {
    return Real().DrawText(part, x, y, lines, font, smooth);
  }
  TDrawStatus DrawPicture(const TPictureSource& src, int part, int x, int y, int width, int height,
                          bool centered, int& drawnHeight) override {
    return Real().DrawPicture(src, part, x, y, width, height, centered, drawnHeight);
  }
  TDrawStatus CopyPicture(const TPictureSource& src, int part, int left, int top, int right,
                          int bottom) override {
    return Real().CopyPicture(src, part, left, top, right, bottom);
  }
  TDrawStatus CopyRect(int srcPart, const int srcRect[4], int dstPart,
                       const int dstRect[4]) override {
    return Real().CopyRect(srcPart, srcRect, dstPart, dstRect);
  }
  TDrawStatus BlendPicture(const TPictureSource& src, int part, int left, int top, int right,
                           int bottom, double percent) override {
    return Real().BlendPicture(src, part, left, top, right, bottom, percent);
  }
  bool Tile(int dstPart, int srcPart) override { return Real().Tile(dstPart, srcPart); }
  TDrawStatus SavePicture(int part, const std::string& file, const std::string& ext,
                          int quality) override {
    return Real().SavePicture(part, file, ext, quality);
  }
  TDrawStatus EncodePicture(int part, const std::string& ext, int quality,
                            std::string& out) override {
    return Real().EncodePicture(part, ext, quality, out);
  }
  bool PictureToClipboard(int part) override { return Real().PictureToClipboard(part); }
  TDrawStatus ExtractIcon(const std::string& file, int index, int part) override {
    return Real().ExtractIcon(file, index, part);
  }
  bool CaptureWindow(const std::string& title, int part) override {
    return Real().CaptureWindow(title, part);
  }
  std::vector<std::string> FontFamilies() override { return Real().FontFamilies(); }
  std::vector<std::string> ExtraReadableFormats() override { return Real().ExtraReadableFormats(); }
  std::string LastError() override { return real_ ? real_->LastError() : std::string(); }

 private:
  struct TRecord {
    std::vector<std::string> Lines;
    int X, Y;
    bool Centered;
    TDialogFont Font;
  };
  std::function<std::unique_ptr<TDrawHost>()> open_;
  std::function<bool()> ready_;
  std::unique_ptr<TDrawHost> real_;
  std::deque<TRecord> records_;
};

}  // namespace yume
