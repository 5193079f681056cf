#include "console/consolehost.h"

#include <unistd.h>

#include "commands/ui/parts.h"
#include "console/partloader.h"
#include "console/qtloader.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

std::string TerminalText(const std::string& cp932) {
  std::string utf8 = Cp932ToUtf8(cp932);
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      out += '\n';
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      out += utf8[i];
    }
  }
  return out;
}

TConsoleHost::TConsoleHost(std::FILE* out, std::FILE* err, std::FILE* in)
    : out_(out), err_(err), in_(in), dialogs_(*this, out, in) {}

void TConsoleHost::ConnectAreas(TYumeBase& y) {
  y.Dialogs = &dialogs_;
  y.Clipboard = &clipboard_;
  ConnectParts(y, [this]() -> TPartHost* {
    if (!parts_) {
      Loop();  // the module's application holds the widgets
      parts_ = OpenQtParts();
    }
    return parts_.get();
  });
}

void TConsoleHost::CloseMainWindow() {
  if (Finished() || !app_) return;
  if (app_->CloseQuery()) Finish();
}

std::unique_ptr<TEventLoop> TConsoleHost::OpenLoop() {
  return OpenQtLoop();
}

bool TConsoleHost::DesktopSize(int& width, int& height) {
  // What Qt's offscreen platform reports as its screen.
  width = 800;
  height = 800;
  return true;
}

bool TConsoleHost::KeepRunning() const {
  return app_ && app_->HasArmedSources();
}

void TConsoleHost::AfterEvent() {
  if (Finished() || app_->HasArmedSources()) return;
  // Nothing can happen any more: end as the window would on closing.
  app_->Close();
  if (!Finished() && !app_->HasArmedSources()) Finish();
}

void TConsoleHost::PrintText(const std::string& text) {
  std::string t = TerminalText(text);
  // One line per call: a text that already ends its last line gets no empty line after it.
  if (t.empty() || t.back() != '\n') t += '\n';
  std::fwrite(t.data(), 1, t.size(), out_);
}

void TConsoleHost::ShowMessage(const std::string& text, const std::string& caption,
                               TMessageKind kind) {
  std::FILE* f = kind == TMessageKind::Info ? out_ : err_;
  std::string t = TerminalText(text);
  if (t.empty() || t.back() != '\n') t += '\n';
  std::fwrite(t.data(), 1, t.size(), f);
  std::fflush(f);
}

bool TConsoleHost::AskContinue() {
  static const char kPrompt[] = "実行を続けますか？ [y: 実行を続ける / n: 終了] ";
  std::fputs(kPrompt, err_);
  std::fflush(err_);
  char buf[256];
  if (!std::fgets(buf, sizeof buf, in_)) return false;
  std::string answer(buf);
  while (!answer.empty() &&
         (answer.back() == '\n' || answer.back() == '\r' || answer.back() == ' '))
    answer.pop_back();
  return answer.empty() || answer == "y" || answer == "Y" || answer == "yes" ||
         answer == "実行を続ける" || answer == "続ける";
}

TErrorChoice TConsoleHost::ShowErrorDialog(const std::string& log, bool debugMode) {
  if (logShown_ > log.size()) logShown_ = 0;
  std::string fresh = TerminalText(log.substr(logShown_));
  logShown_ = log.size();
  std::fwrite(fresh.data(), 1, fresh.size(), err_);
  std::fflush(err_);
  std::fflush(out_);
  if (TErrorChoice choice; TakeErrorAnswer(choice)) return choice;
  if (in_ && isatty(fileno(in_)) && AskContinue()) return TErrorChoice::Continue;
  return TErrorChoice::End;
}

}  // namespace yume
