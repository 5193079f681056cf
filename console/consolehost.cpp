#include "console/consolehost.h"

#include <unistd.h>

#include "console/qtloader.h"
#include "core/answers.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "platform/paths.h"

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
    : out_(out), err_(err), in_(in) {}

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
  if (in_ && isatty(fileno(in_)) && AskContinue()) return TErrorChoice::Continue;
  return TErrorChoice::End;
}

// ---- dialogs ----

namespace {

// This file is UTF-8; texts for the interface are CP932.
std::string Jp(const char* utf8) {
  return Utf8ToCp932(utf8);
}

}  // namespace

void TConsoleHost::Out(const std::string& cp932) {
  std::string t = TerminalText(cp932);
  if (t.empty() || t.back() != '\n') t += '\n';
  std::fwrite(t.data(), 1, t.size(), out_);
  std::fflush(out_);
}

bool TConsoleHost::ReadAnswer(std::string& line) {
  if (TakeAnswer(line)) return !IsCancelAnswer(line);
  if (!in_) return false;
  std::string utf8;
  char buf[4096];
  bool any = false;
  while (std::fgets(buf, sizeof buf, in_)) {
    any = true;
    utf8 += buf;
    if (!utf8.empty() && utf8.back() == '\n') break;
  }
  if (!any) return false;
  while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r')) utf8.pop_back();
  line = Utf8ToCp932(utf8);
  return !IsCancelAnswer(line);
}

template <class Accept>
bool TConsoleHost::AskUntil(Accept&& accept) {
  for (;;) {
    std::string line;
    if (!ReadAnswer(line)) return false;
    if (accept(line)) return true;
    Out(Jp("もう一度入力してください。"));
  }
}

void TConsoleHost::Say(const std::string& text, const TDialogStyle&) {
  ShowMessage(text, std::string(), TMessageKind::Info);
}

bool TConsoleHost::AskText(const std::string& prompt, const std::string& initial,
                           const TDialogStyle&, std::string& answer) {
  Out(initial.empty() ? prompt : prompt + " [" + initial + "]");
  return AskUntil([&](const std::string& line) {
    answer = line;
    return true;
  });
}

int TConsoleHost::AskYesNo(const std::string& text, const std::string&, bool withCancel) {
  Out(text + (withCancel ? Jp(" [はい/いいえ/キャンセル]") : Jp(" [はい/いいえ]")));
  int result = withCancel ? 2 : 0;
  AskUntil([&](const std::string& line) {
    const std::optional<int> r = YesNoAnswer(line, withCancel);
    if (r) result = *r;
    return r.has_value();
  });
  return result;
}

namespace {

std::string Numbered(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += "\r\n";
    out += "  " + std::to_string(i + 1) + ": " + items[i];
  }
  return out;
}

}  // namespace

bool TConsoleHost::AskList(const std::string& message, const std::vector<std::string>& items,
                           bool editable, const std::string& initial, const TDialogStyle&,
                           std::string& answer) {
  Out(message);
  if (!items.empty()) Out(Numbered(items));
  (void)initial;
  return AskUntil([&](const std::string& line) {
    const std::optional<std::string> r = ListAnswer(line, items, editable);
    if (r) answer = *r;
    return r.has_value();
  });
}

bool TConsoleHost::AskButtons(const std::string& message, const std::vector<std::string>& captions,
                              const TDialogStyle&, std::string& answer) {
  Out(message);
  Out(Numbered(captions));
  return AskUntil([&](const std::string& line) {
    const std::optional<std::string> r = ChoiceAnswer(line, captions, false);
    if (r) answer = *r;
    return r.has_value();
  });
}

bool TConsoleHost::AskMemo(const std::string& text, const TDialogStyle&, std::string& answer) {
  Out(Jp("メモ記入 (改行は \\n):"));
  if (!text.empty()) Out(text);
  return AskUntil([&](const std::string& line) {
    answer = MultiLineAnswer(line);
    return true;
  });
}

bool TConsoleHost::AskItems(const TItemList& items, const TDialogStyle&, std::string& answer) {
  std::string shown = items.KeyTitle + "=" + items.ValueTitle;
  for (const auto& r : items.Rows) shown += "\r\n  " + r.Key + "=" + r.Value;
  Out(shown);
  Out(Jp("項目記入 (項目=値 を \\n で区切って):"));
  return AskUntil([&](const std::string& line) {
    answer = ItemsAnswer(line, items);
    return true;
  });
}

bool TConsoleHost::PickColor(uint32_t& color) {
  Out(Jp("色選択 (10進数、$16進数、#RRGGBB):"));
  return AskUntil([&](const std::string& line) {
    const std::optional<uint32_t> c = ColorAnswer(line);
    if (c) color = *c;
    return c.has_value();
  });
}

bool TConsoleHost::PickFont(TDialogFont& font) {
  Out(Jp("フォント選択 (書体名|太字斜体下線|大きさ):"));
  return AskUntil([&](const std::string& line) {
    const std::optional<TDialogFont> f = FontAnswer(line);
    if (f) font = *f;
    return f.has_value();
  });
}

bool TConsoleHost::PickOpenFiles(const std::string& filter, const std::string& folder,
                                 const std::string& initial, std::vector<std::string>& files) {
  // Names are read relative to the current folder, where the picker starts.
  (void)folder;
  Out(Jp("読込ファイル選択 (") + filter + ")" + (initial.empty() ? "" : " [" + initial + "]"));
  return AskUntil([&](const std::string& line) {
    files = OpenFilesAnswer(line, initial);
    return !files.empty();
  });
}

bool TConsoleHost::PickSaveFile(const std::string& filter, const std::string& defaultExt,
                                const std::string& folder, const std::string& initial,
                                std::string& file) {
  // Names are read relative to the current folder, where the picker starts.
  (void)folder;
  Out(Jp("書込ファイル選択 (") + filter + ")" + (initial.empty() ? "" : " [" + initial + "]"));
  return AskUntil([&](const std::string& line) {
    const std::optional<std::string> f = SaveFileAnswer(line, initial, defaultExt);
    if (f) file = *f;
    return f.has_value();
  });
}

bool TConsoleHost::PickFolder(const std::string& start, const std::string& root,
                              std::string& folder) {
  Out(root.empty() ? Jp("フォルダ選択") : Jp("フォルダ選択 (") + root + ")");
  return AskUntil([&](const std::string& line) {
    folder = FolderAnswer(line, start);
    return true;
  });
}

}  // namespace yume
