// Text output, drawing and images on the mothership and on image parts.
//
// The command table ties each name to its handler; a handler not built yet stays null,
// and calling its command reports that it is not available.
#include <string>
#include <string_view>

#include "commands/families.h"
#include "commands/system/guard.h"
#include "core/cmdlib.h"
#include "core/hash.h"
#include "core/host.h"
#include "core/messages.h"
#include "core/yumebase.h"
#include "platform/paths.h"

namespace yume {

namespace {

// Each line of text followed by CR LF (a text ending in a line break gets no empty line).
std::string WithLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    out.append(text.substr(start, end - start));
    out += "\r\n";
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  if (text.empty()) out = "\r\n";
  return out;
}

// 表示 (?と) 0 -- prints at the text cursor, or appends the line to the file named by 表示出力先.
void CmdPrint(TYumeBase& y, TArgs& a) {
  std::string text = a.TakeText(0);
  THashNode* target = y.Dict.Find("表示出力先", false);
  if (target && !target->ValueText().empty()) {
    const std::string name = FindProgramFile(y, target->ValueText());
    if (!CheckFileAccess(y, name, Quoted(name) + "へ書き込みます。")) return;
    bool ok;
    if (FileExists(name)) {
      text += "\r\n";
      ok = AppendToFile(name, text);
    } else {
      ok = WriteWholeFile(name, WithLineEnds(text));
    }
    if (!ok) RaiseError(y, msg::kCannotWrite, {name});
    return;
  }
  y.Host->PrintText(text);
}

constexpr CommandDef kCommands[] = {
    {"移動", "?へ", 1, nullptr},
    {"表示", "?と", 0, CmdPrint},
    {"画面クリア", "?で", 4, nullptr},
    {"センタリング", "", 29, nullptr},
    {"センタリング解除", "", 30, nullptr},
    {"線", "?から,?へ", 14, nullptr},
    {"四角形", "?から,?へ", 15, nullptr},
    {"円形", "?から,?へ", 16, nullptr},
    {"角丸四角形", "?から,?へ,?の", 505, nullptr},
    {"多角形", "?の", 507, nullptr},
    {"画像表示", "?を", 18, nullptr},
    {"画像拡大表示", "?を,?で", 39, nullptr},
    {"点描画", "?の,?へ", 123, nullptr},
    {"線描画", "?の,?から,?へ", 258, nullptr},
    {"四角形描画", "?の,?から,?へ", 259, nullptr},
    {"角丸四角形描画", "?に,?から,?へ,?の", 506, nullptr},
    {"多角形描画", "?に,?の", 508, nullptr},
    {"円形描画", "?の,?から,?へ", 260, nullptr},
    {"文字描画", "?の,?へ,?と", 251, nullptr},
    {"文字表示", "?の,?へ,?と", 439, nullptr},
    {"座標色取得", "?の,?を", 329, nullptr},
    {"タイル描画", "?へ,?を", 584, nullptr},
    {"ペンスタイル設定", "?に", 503, nullptr},
    {"塗りスタイル設定", "?に", 504, nullptr},
    {"描画処理反映", "", 117, nullptr},
    {"窓キャプチャー", "?へ,?を", 132, nullptr},
    {"イメージ保存", "?へ,?を", 178, nullptr},
    {"イメージサイズ変更", "?を,?に", 515, nullptr},
    {"イメージコピー", "?を,?の,?に", 140, nullptr},
    {"イメージ部分コピー", "?の,?を,?の,?に", 299, nullptr},
    {"イメージ半透明コピー", "?を,?の,?に,?パーセント", 257, nullptr},
    {"アイコン抽出", "?の,?を,?に", 425, nullptr},
    {"イメージデータ設定", "?形式の,?を,?に", 583, nullptr},
    {"フォント一覧を取得", "", 483, nullptr},
    {"画像対応形式取得", "", 531, nullptr},
};

constexpr VariableDef kVariables[] = {
    {"表示出力先", "", "s", 16, false, false},
    {"文字色", "0", "s", 19, false, false},
    {"文字サイズ", "12", "e", 20, false, false},
    {"文字書体", "ＭＳ ゴシック", "s", 21, false, false},
    {"ペン色", "0", "s", 22, false, false},
    {"ペン太さ", "2", "e", 23, false, false},
    {"塗り色", "0", "e", 24, false, false},
    {"JPEG圧縮率", "100", "e", 25, false, false},
};

}  // namespace

const TFamily kDrawFamily{"描画と画像", kCommands, kVariables};

}  // namespace yume
