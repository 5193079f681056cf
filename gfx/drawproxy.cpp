#include "gfx/drawproxy.h"

namespace yume {

TDrawHost& TDrawProxy::Real() {
  if (!real_) {
    real_ = open_();
    for (const TRecord& r : records_) real_->PrintLines(r.Lines, r.X, r.Y, r.Centered, r.Font);
    records_.clear();
  }
  return *real_;
}

int TDrawProxy::PrintLines(const std::vector<std::string>& lines, int x, int y, bool centered,
                           const TDialogFont& font) {
  if (real_ || (ready_ && ready_())) return Real().PrintLines(lines, x, y, centered, font);
  const int step = PrintLineStep(font.Size);
  const int end = y + step * static_cast<int>(lines.size());
  // Lines wholly outside the client area would draw nothing.
  if (end > 0 && y < kMainClientHeight) {
    if (records_.size() == kMaxRecords) records_.pop_front();
    records_.push_back({lines, x, y, centered, font});
  }
  return end;
}

}  // namespace yume
