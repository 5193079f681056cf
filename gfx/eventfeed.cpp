#include "gfx/eventfeed.h"

#include <cstdio>
#include <exception>

#include "commands/ui/parts.h"
#include "core/app.h"
#include "core/number.h"
#include "core/objlist.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "gfx/eventloop.h"
#include "platform/paths.h"

namespace yume {

namespace {

// utf8: the message, already UTF-8 (this file is compiled as UTF-8).
void Complain(int line, const std::string& utf8) {
  std::fprintf(stderr, "--events %d: %s\n", line, utf8.c_str());
}

// The first word of a line and the rest, blanks between them dropped.
std::string_view TakeWord(std::string_view& rest) {
  rest = TrimBlanks(rest);
  size_t end = 0;
  while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') end += CharLen(rest, end);
  std::string_view word = rest.substr(0, end);
  rest = rest.substr(end);
  if (!rest.empty()) rest.remove_prefix(1);
  return word;
}

bool KnownVerb(std::string_view v) {
  for (const char* k : {"click", "dblclick", "type", "key", "select", "close", "pause", "check",
                        "mousedown", "mouseup", "drop", "drag"})
    if (v == k) return true;
  return false;
}

}  // namespace

bool TEventFeed::Load(const std::string& sysPath) {
  std::string raw;
  if (!ReadWholeFile(FromSysPath(sysPath), raw)) {
    std::fprintf(stderr, "--events: %s が読めません。\n", sysPath.c_str());
    return false;
  }
  const std::string text = ScriptTextToCp932(raw);
  int number = 0;
  for (size_t pos = 0; pos < text.size();) {
    ++number;
    std::string_view rest = NextLine(text, pos);
    rest = TrimBlanks(rest);
    if (rest.empty() || rest[0] == '#') continue;
    TLine line;
    line.Number = number;
    line.Verb = std::string(TakeWord(rest));
    if (!KnownVerb(line.Verb)) {
      Complain(number, "\"" + Cp932ToUtf8(line.Verb) + "\" は操作ではありません。");
      return false;
    }
    if (line.Verb == "pause") {
      line.Arg = std::string(TrimBlanks(rest));
    } else {
      line.Part = std::string(TakeWord(rest));
      // Typed text keeps its blanks; the other arguments are trimmed.
      line.Arg = line.Verb == "type" ? std::string(rest) : std::string(TrimBlanks(rest));
      if (line.Part.empty()) {
        Complain(number, "部品の名前がありません。");
        return false;
      }
    }
    lines_.push_back(std::move(line));
  }
  return true;
}

void TEventFeed::Start(TYumeApp& app, TEventLoop& loop, std::function<void()> done) {
  app_ = &app;
  loop_ = &loop;
  done_ = std::move(done);
  app.ArmSource();  // the actions still to come can start events
  loop.Later(0, [this]() { Next(); });
}

void TEventFeed::Next() {
  TYumeBase& y = app_->Base();
  if (y.StopRun) lines_.clear();
  if (lines_.empty()) {
    app_->DisarmSource();
    if (done_) done_();
    return;
  }
  // A person acts on what the script shows while it waits, not in the middle of its work.
  if (app_->RunDepth() > 0 || y.Cur) {
    loop_->Later(1, [this]() { Next(); });
    return;
  }
  const TLine line = std::move(lines_.front());
  lines_.pop_front();
  if (line.Verb == "pause") {
    long double ms = 0;
    if (!TryStrToNumber(line.Arg, ms) || ms < 0) ms = 0;
    loop_->Later(static_cast<int>(ms), [this]() { Next(); });
    return;
  }
  Deliver(line);
  loop_->Later(0, [this]() { Next(); });
}

void TEventFeed::Deliver(const TLine& line) {
  TYumeBase& y = app_->Base();
  TObjNode* node = FindPart(y, line.Part);
  if (!node) {
    Complain(line.Number, "部品\"" + Cp932ToUtf8(line.Part) + "\"がありません。");
    return;
  }
  if (line.Verb == "close" && node->Tag == 0) {
    app_->Close();
    return;
  }
  TUserAction a;
  a.Text = line.Arg;
  if (line.Verb == "click") a.Kind = TUserAction::Click;
  if (line.Verb == "check") a.Kind = TUserAction::Check;
  if (line.Verb == "dblclick") a.Kind = TUserAction::DoubleClick;
  if (line.Verb == "type") a.Kind = TUserAction::Type;
  if (line.Verb == "key") a.Kind = TUserAction::Key;
  if (line.Verb == "select") a.Kind = TUserAction::Select;
  if (line.Verb == "close") a.Kind = TUserAction::Close;
  if (line.Verb == "mousedown") a.Kind = TUserAction::MouseDown;
  if (line.Verb == "mouseup") a.Kind = TUserAction::MouseUp;
  if (line.Verb == "drag") a.Kind = TUserAction::Drag;
  if (line.Verb == "drop") {
    // Files named as scripts name them ("|" between them), dropped as system paths.
    a.Kind = TUserAction::Drop;
    a.Text.clear();
    for (const std::string& f : SplitAtBars(line.Arg))
      if (!f.empty()) a.Text += Utf8ToCp932(SysPath(ExpandFileName(f))) + "\r\n";
  }
  try {
    TPartHost& parts = PartWidgets(y);
    std::string error;
    if (!parts.Perform(node->Tag, a, error))
      Complain(line.Number, Cp932ToUtf8(line.Verb + " " + line.Part + ": " + error));
  } catch (const std::exception& e) {
    Complain(line.Number, Cp932ToUtf8(e.what()));
  }
}

}  // namespace yume
