// File handles: a variable whose value is the marker "(TTextFileStream)" stands for a file kept
// open in the state's list of handles (a TTextFileStream each). The variable keeps its slot in
// the list in its word (Import, unused by variables): slots are never reused, so a slot number
// met again (a copy of the word, a variable deleted some other way) finds its own stream or an
// empty slot, never another file.
#include "commands/system/handle_cmds.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "commands/system/filestream.h"
#include "commands/system/guard.h"
#include "core/cmdlib.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

constexpr char kMarker[] = "(TTextFileStream)";
constexpr char kNotHandle[] = "変数\"%s\"が見つかりません。";

class THandleList final : public TFamilyState {
 public:
  std::vector<std::unique_ptr<TTextFileStream>> Slots;  // closed: null
};

THandleList& Handles(TYumeBase& y) {
  if (!y.FileHandles) y.FileHandles = std::make_unique<THandleList>();
  return static_cast<THandleList&>(*y.FileHandles);
}

// The slot a handle variable keeps, as 1 + its index (0: none).
size_t SlotOf(const THashNode& w) {
  return static_cast<size_t>(reinterpret_cast<uintptr_t>(w.Import));
}

void KeepSlot(THashNode& w, size_t slot) {
  w.Import = reinterpret_cast<void*>(static_cast<uintptr_t>(slot));
}

// The open stream behind a word; null when the word is no handle or its file is closed.
TTextFileStream* StreamOf(TYumeBase& y, const THashNode& w) {
  if (w.Kind != wkVariable || !y.FileHandles || w.ValueText() != kMarker) return nullptr;
  const size_t slot = SlotOf(w);
  std::vector<std::unique_ptr<TTextFileStream>>& slots = Handles(y).Slots;
  if (slot == 0 || slot > slots.size()) return nullptr;
  return slots[slot - 1].get();
}

std::string_view Unquoted(std::string_view name) {
  if (name.size() >= 2 && name.front() == '`' && name.back() == '`') {
    name.remove_prefix(1);
    name.remove_suffix(1);
  }
  return name;
}

// The word a handle argument names as written (one pair of backquotes removed); null when none.
THashNode* WrittenWord(TYumeBase& y, TArgs& a, size_t slot) {
  return y.Dict.FindScoped(Unquoted(a.Phrase(slot)), false);
}

// The stream of a word found as written, or the error that it is no handle.
TTextFileStream& HandleStream(TYumeBase& y, const THashNode& w, std::string_view name) {
  TTextFileStream* s = StreamOf(y, w);
  if (!s) RaiseError(y, kNotHandle, {name});
  return *s;
}

// The stream the line commands name as written; a missing or closed one is a missing file.
TTextFileStream& LineStream(TYumeBase& y, std::string_view name) {
  THashNode* w = y.Dict.FindScoped(name, false);
  TTextFileStream* s = w ? StreamOf(y, *w) : nullptr;
  if (!s) RaiseError(y, msg::kFileMissing, {std::string("ハンドル:").append(name)});
  return *s;
}

// A failure of the system, reported through the runtime's own error path with its reason.
[[noreturn]] void RaiseSystemFailure(std::string what, int error) {
  what += "(";
  what += std::strerror(error);
  what += ")";
  throw std::runtime_error(what);
}

// Opens file with mode into the variable called name (made when missing): the part both open
// commands share.
void OpenHandle(TYumeBase& y, TArgs& a, const std::string& name, const std::string& file, int mode,
                bool createMissing) {
  if (name.empty()) a.ArgumentError();
  auto variable = [&] {
    THashNode* w = y.Dict.FindScoped(name, false);
    if (!w) {
      auto fresh = THashNode::MakeVariable(name, false, y.WordLevel(), "");
      w = fresh.get();
      y.Dict.Add(std::move(fresh));
    }
    // Only a variable can hold a handle; a constant, a command or a label cannot become one.
    if (w->Reserved || w->Kind != wkVariable) a.ReadOnlyError(name);
    return w;
  };
  variable();
  if (!CheckFileAccess(y, file,
                       "ファイル" + Quoted(file) + "を操作しようとしています。よろしいですか？"))
    return;
  // Found again: while the question was open, the window's events may have run.
  THashNode* w = variable();
  auto stream = std::make_unique<TTextFileStream>();
  int error = 0;
  if (!stream->Open(SysPath(file), mode, &error, createMissing)) {
    RaiseSystemFailure(
        "ファイル\"" + file +
            (mode == TTextFileStream::kCreate ? "\"を作成できません。" : "\"を開けません。"),
        error);
  }
  std::vector<std::unique_ptr<TTextFileStream>>& slots = Handles(y).Slots;
  slots.push_back(std::move(stream));
  w->SetValueText(kMarker);
  w->SetTypeText("s");
  KeepSlot(*w, slots.size());
}

// The variable a handle command reads into, made when missing.
THashNode& Target(TArgs& a, size_t slot) {
  THashNode& w = a.WordOrNew(slot);
  if (w.Reserved) a.ReadOnlyError(w.Name);
  return w;
}

}  // namespace

// ハンドルを開く (?で,?の) 331
void CmdHandleOpen(TYumeBase& y, TArgs& a) {
  const std::string file = a.Text(1);
  const std::string& written = a.Phrase(0);
  const std::string name = !written.empty() && written.front() == '`' ? a.Text(0) : written;
  OpenHandle(y, a, name, file, TTextFileStream::kReadWrite, true);
}

// ハンドルを詳しく開く (?に,?を,?で) 422
void CmdHandleOpenMode(TYumeBase& y, TArgs& a) {
  const int64_t mode = a.Whole(2);
  const std::string file = a.Text(1);
  const std::string name = a.Text(0);
  // Modes beyond int are none the stream knows; the stream refuses them.
  const int m = mode >= 0 && mode <= TTextFileStream::kCreate ? static_cast<int>(mode) : -1;
  OpenHandle(y, a, name, file, m, false);
}

// ハンドルを一行読む (?に,?の) 332
void CmdHandleReadLine(TYumeBase& y, TArgs& a) {
  TTextFileStream& s = LineStream(y, Unquoted(a.Phrase(1)));
  THashNode& w = Target(a, 0);
  w.SetValueText(s.ReadLine());
  w.SetTypeText("s");
}

// ハンドルへ一行書く (?を,?の) 333
void CmdHandleWriteLine(TYumeBase& y, TArgs& a) {
  if (y.SecurityLevel == 2) return;
  const std::string name(Unquoted(a.Phrase(1)));
  // The handle is looked up after the text is worked out, which could have closed it.
  const std::string& text = a.Text(0);
  TTextFileStream& s = LineStream(y, name);
  int error = 0;
  if (!s.WriteLine(text, &error))
    RaiseSystemFailure("ハンドル\"" + name + "\"へ書き込めません。", error);
}

// ハンドルを閉じる (?の) 334
void CmdHandleClose(TYumeBase& y, TArgs& a) {
  THashNode* w = WrittenWord(y, a, 0);
  if (!w) return;
  const std::string name = w->Name;
  HandleStream(y, *w, Unquoted(a.Phrase(0)));
  Handles(y).Slots[SlotOf(*w) - 1].reset();
  w->SetValueText(std::string_view());
  w->Import = nullptr;
  // A variable of the global table goes; a local one (no way to take it out of its scope) and
  // the system's own variables, which the interpreter holds on to, are left empty.
  if (w->Tag >= 0 && y.Dict.Find(name, false) == w) y.Dict.Delete(name, false);
}

// ハンドル最後か (?の) 335
void CmdHandleAtEnd(TYumeBase& y, TArgs& a) {
  THashNode* w = WrittenWord(y, a, 0);
  if (!w) return;
  SetSoreInteger(y, HandleStream(y, *w, Unquoted(a.Phrase(0))).AtEnd() ? 1 : 0);
}

// ハンドルを先頭に移動 (?の) 336
void CmdHandleToStart(TYumeBase& y, TArgs& a) {
  THashNode* w = WrittenWord(y, a, 0);
  if (!w) return;
  HandleStream(y, *w, Unquoted(a.Phrase(0))).SeekFromStart(0);
}

// ハンドルを最後に移動 (?の) 337
void CmdHandleToEnd(TYumeBase& y, TArgs& a) {
  THashNode* w = WrittenWord(y, a, 0);
  if (!w) return;
  HandleStream(y, *w, Unquoted(a.Phrase(0))).SeekFromEnd(0);
}

// ハンドルを移動 (?の,?に) 419 -- an offset the system refuses (before the start) moves nothing
void CmdHandleSeek(TYumeBase& y, TArgs& a) {
  const int64_t offset = a.Whole(1);
  THashNode& w = a.Word(0);
  HandleStream(y, w, w.Name).SeekFromStart(offset);
}

// ハンドルにバイナリを書く (?を,?に,?つ) 420
void CmdHandleWriteBytes(TYumeBase& y, TArgs& a) {
  const int64_t count = a.Whole(2);
  a.Phrase(1);
  // The handle is looked up after the value is worked out, which could have closed it.
  const std::string& value = a.Text(0);
  THashNode& w = a.Word(1);
  int error = 0;
  if (!HandleStream(y, w, w.Name).WriteBytes(value, count, &error))
    RaiseSystemFailure("ハンドル\"" + w.Name + "\"へ書き込めません。", error);
}

// ハンドルにバイナリを読む (?へ,?を,?つ) 421 -- the variable keeps its type
void CmdHandleReadBytes(TYumeBase& y, TArgs& a) {
  const int64_t count = a.Whole(2);
  THashNode& h = a.Word(1);
  TTextFileStream& s = HandleStream(y, h, h.Name);
  THashNode& w = Target(a, 0);
  if (count <= 0) return;
  std::string bytes;
  int error = 0;
  if (!s.ReadBytes(count, bytes, &error))
    RaiseSystemFailure("ハンドル\"" + h.Name + "\"から読み込めません。", error);
  w.SetValueText(std::move(bytes));
}

}  // namespace yume
