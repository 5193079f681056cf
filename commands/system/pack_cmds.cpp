// Packed files and building executables from a script and its data.
//
// The archive format and the executable image are the engine's (filemix.h); the handlers here
// add the file lookup, the write guard and the errors. A failed write never leaves a partial
// archive or program behind and is reported.
#include <string>
#include <string_view>
#include <vector>

#include "commands/families.h"
#include "commands/system/filemix.h"
#include "commands/system/guard.h"
#include "core/cmdlib.h"
#include "core/error.h"
#include "core/messages.h"
#include "core/pack.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

const char kNoScript[] = "ファイル\"%s\"がありません。";

// The lines of a list, without their line breaks; blank lines are left out.
std::vector<std::string> ListLines(std::string_view list) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t end = list.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = list.size();
    std::string_view line = TrimBlanks(list.substr(pos, end - pos));
    if (!line.empty()) lines.emplace_back(line);
    if (end < list.size() && list[end] == '\r' && end + 1 < list.size() && list[end + 1] == '\n')
      ++end;
    pos = end + 1;
  }
  return lines;
}

// Reports what kept an archive or a program from being written.
void CheckWritten(TYumeBase& y, TArgs& a, TMixFault fault, const std::string& file) {
  switch (fault) {
    case TMixFault::None:
      return;
    case TMixFault::Range:
      a.RangeError();
    case TMixFault::InputMissing:
      RaiseError(y, msg::kFileMissing, {file});
    case TMixFault::Write:
      RaiseError(y, msg::kFileFailed, {file});
  }
}

// ファイル合成 (?を, ?へ) 206 -- a plain list of paths stores each file under its own name;
// lines holding "=" (or ",") are path=name=flag.
void CmdPackFiles(TYumeBase& y, TArgs& a) {
  const std::string archive(TrimBlanks(a.Text(1)));
  std::string list(TrimBlanks(a.Text(0)));
  if (!CheckFileAccess(y, archive, Quoted(archive) + "へ保存します。")) return;
  for (char& c : list)
    if (c == ',') c = '=';  // never the second byte of a two-byte character
  const bool entryLines = list.find('=') != std::string::npos;
  TFileMixWriter writer;
  for (const std::string& line : ListLines(list)) {
    if (entryLines)
      writer.Lines.push_back(line);
    else
      writer.Add(line, ExtractFileName(line), 0);
  }
  std::string file;
  CheckWritten(y, a, writer.SaveToFile(archive, file), file);
}

// 合成ファイル取り出す (?から,?を) 207
void CmdUnpackFile(TYumeBase& y, TArgs& a) {
  const std::string name = a.Text(1);
  const std::string archive = a.Text(0);
  TFileMixReader reader;
  std::string err, bytes;
  if (!reader.Open(archive, err)) RaiseError(y, err);
  const TFileMixReader::TEntry* entry = reader.Find(name);
  if (!entry) RaiseError(y, msg::kFileMissing, {name});
  if (!reader.Read(*entry, bytes)) RaiseError(y, msg::kFileFailed, {archive});
  SetSoreText(y, std::move(bytes));
}

// The runtime's folder (ランタイムのパス): where the running program is.
std::string RuntimeFolder(TYumeBase& y) {
  return ExtractFilePath(y.Params.empty() ? ExecutableFile() : y.Params[0]);
}

// ゆめもり実行ファイル作成 / ゆめもりミニ実行ファイル作成 (?と,?から,?へ) 520 / 521: the
// runtime's image followed by an archive of the script (as yumemori.ymr) and the listed files,
// all enciphered.
void BuildProgram(TYumeBase& y, TArgs& a, const char* runtimeName, bool console) {
  const std::string output(TrimBlanks(a.Text(2)));
  const std::string list = a.Text(1);
  const std::string given = a.Text(0);
  const std::string script = FindProgramFile(y, given);
  if (!FileExists(script)) RaiseError(y, kNoScript, {given});
  // The new program can overwrite anything it is named after: guarded like every write.
  if (!CheckFileAccess(y, output, Quoted(output) + "へ保存します。")) return;
  TFileMixWriter writer;
  writer.Add(script, kPackStartScript, kMixEnciphered);
  for (const std::string& line : ListLines(list)) {
    if (line.find('=') != std::string::npos) {
      writer.Lines.push_back(line);
    } else {
      const std::string path = FindProgramFile(y, line);
      writer.Add(path, ExtractFileName(path), kMixEnciphered);
    }
  }
  const std::string runtimeFolder = RuntimeFolder(y);
  // Where yume-qt.so is found when the program is moved away from it: the builder's folder.
  if (console) writer.AddBytes(kPackRuntimeFolder, ExpandFileName(runtimeFolder), 0);
  std::string file;
  CheckWritten(y, a, BuildExecutable(output, runtimeFolder + runtimeName, writer, file), file);
}

// ゆめもり実行ファイル作成 (?と,?から,?へ) 520 -- with the window program
void CmdBuildProgram(TYumeBase& y, TArgs& a) {
  BuildProgram(y, a, "yumemori", false);
}

// ゆめもりミニ実行ファイル作成 (?と,?から,?へ) 521 -- with the console program
void CmdBuildMiniProgram(TYumeBase& y, TArgs& a) {
  BuildProgram(y, a, "yume", true);
}

constexpr CommandDef kCommands[] = {
    {"ファイル合成", "?を, ?へ", 206, CmdPackFiles},
    {"合成ファイル取り出す", "?から,?を", 207, CmdUnpackFile},
    {"ゆめもり実行ファイル作成", "?と,?から,?へ", 520, CmdBuildProgram},
    {"ゆめもりミニ実行ファイル作成", "?と,?から,?へ", 521, CmdBuildMiniProgram},
};

}  // namespace

const TFamily kPackFamily{"合成ファイル", kCommands, {}};

}  // namespace yume
