// The dialogs of the console program: the message or prompt on standard output, the answer one
// line of standard input (or of the answers file); end of input cancels.
#include "console/consoledialogs.h"

#include "console/consolehost.h"
#include "core/answers.h"
#include "core/sjis.h"
#include "platform/paths.h"

namespace yume {

TConsoleDialogs::TConsoleDialogs(TConsoleHost& host, std::FILE* out, std::FILE* in)
    : host_(host), out_(out), in_(in) {}

namespace {

// This file is UTF-8; texts for the interface are CP932.
std::string Jp(const char* utf8) {
  return Utf8ToCp932(utf8);
}

}  // namespace

void TConsoleDialogs::Out(const std::string& cp932) {
  std::string t = TerminalText(cp932);
  if (t.empty() || t.back() != '\n') t += '\n';
  std::fwrite(t.data(), 1, t.size(), out_);
  std::fflush(out_);
}

bool TConsoleDialogs::ReadAnswer(std::string& line) {
  if (host_.TakeAnswer(line)) return !TLoopHost::IsCancelAnswer(line);
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
  return !TLoopHost::IsCancelAnswer(line);
}

template <class Accept>
bool TConsoleDialogs::AskUntil(Accept&& accept) {
  for (;;) {
    std::string line;
    if (!ReadAnswer(line)) return false;
    if (accept(line)) return true;
    Out(Jp("もう一度入力してください。"));
  }
}

void TConsoleDialogs::Say(const std::string& text, const TDialogStyle&) {
  host_.ShowMessage(text, std::string(), TMessageKind::Info);
}

bool TConsoleDialogs::AskText(const std::string& prompt, const std::string& initial,
                              const TDialogStyle&, std::string& answer) {
  Out(initial.empty() ? prompt : prompt + " [" + initial + "]");
  return AskUntil([&](const std::string& line) {
    answer = line;
    return true;
  });
}

int TConsoleDialogs::AskYesNo(const std::string& text, const std::string&, bool withCancel) {
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

bool TConsoleDialogs::AskList(const std::string& message, const std::vector<std::string>& items,
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

bool TConsoleDialogs::AskButtons(const std::string& message,
                                 const std::vector<std::string>& captions, const TDialogStyle&,
                                 std::string& answer) {
  Out(message);
  Out(Numbered(captions));
  return AskUntil([&](const std::string& line) {
    const std::optional<std::string> r = ChoiceAnswer(line, captions, false);
    if (r) answer = *r;
    return r.has_value();
  });
}

bool TConsoleDialogs::AskMemo(const std::string& text, const TDialogStyle&, std::string& answer) {
  Out(Jp("メモ記入 (改行は \\n):"));
  if (!text.empty()) Out(text);
  return AskUntil([&](const std::string& line) {
    answer = MultiLineAnswer(line);
    return true;
  });
}

bool TConsoleDialogs::AskItems(const TItemList& items, const TDialogStyle&, std::string& answer) {
  std::string shown = items.KeyTitle + "=" + items.ValueTitle;
  for (const auto& r : items.Rows) shown += "\r\n  " + r.Key + "=" + r.Value;
  Out(shown);
  Out(Jp("項目記入 (項目=値 を \\n で区切って):"));
  return AskUntil([&](const std::string& line) {
    answer = ItemsAnswer(line, items);
    return true;
  });
}

bool TConsoleDialogs::PickColor(uint32_t& color) {
  Out(Jp("色選択 (10進数、$16進数、#RRGGBB):"));
  return AskUntil([&](const std::string& line) {
    const std::optional<uint32_t> c = ColorAnswer(line);
    if (c) color = *c;
    return c.has_value();
  });
}

bool TConsoleDialogs::PickFont(TDialogFont& font) {
  Out(Jp("フォント選択 (書体名|太字斜体下線|大きさ):"));
  return AskUntil([&](const std::string& line) {
    const std::optional<TDialogFont> f = FontAnswer(line);
    if (f) font = *f;
    return f.has_value();
  });
}

bool TConsoleDialogs::PickOpenFiles(const std::string& filter, const std::string& folder,
                                    const std::string& initial, std::vector<std::string>& files) {
  // Names are read relative to the current folder, where the picker starts.
  (void)folder;
  Out(Jp("読込ファイル選択 (") + filter + ")" + (initial.empty() ? "" : " [" + initial + "]"));
  return AskUntil([&](const std::string& line) {
    files = OpenFilesAnswer(line, initial);
    return !files.empty();
  });
}

bool TConsoleDialogs::PickSaveFile(const std::string& filter, const std::string& defaultExt,
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

bool TConsoleDialogs::PickFolder(const std::string& start, const std::string& root,
                                 std::string& folder) {
  Out(root.empty() ? Jp("フォルダ選択") : Jp("フォルダ選択 (") + root + ")");
  return AskUntil([&](const std::string& line) {
    folder = FolderAnswer(line, start);
    return true;
  });
}

}  // namespace yume
