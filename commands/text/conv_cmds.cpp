// Character-class conversion (half/full width, kana, case) and text encodings.
//
// The handlers take their one text and leave the result in それ; the conversions themselves
// are in jconv.cpp.
#include <string>

#include "commands/families.h"
#include "commands/text/jconv.h"
#include "core/cmdlib.h"
#include "core/hash.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// 半角変換 27, 全角変換 80, 英数半角変換 267, 大文字変換 197, 小文字変換 198, ひらがな変換 230,
// カタカナ変換 231, SJISからUTF8に変換 526, BASE64エンコード 378, メールヘッダエンコード 457,
// メールヘッダデコード 458 (?を)
template <std::string (*Convert)(std::string_view)>
void TextCommand(TYumeBase& y, TArgs& a) {
  SetSoreText(y, Convert(a.TextInPlace(0)));
}

// 文字コードをEUCに変換 290, 文字コードをJISに変換 291, 文字コードをSJISに変換 292 (?の)
template <int kTo>
void CmdToCode(TYumeBase& y, TArgs& a) {
  const std::string& s = a.TextInPlace(0);
  if (s.empty()) {
    // Nothing to convert: それ keeps its value and only becomes a text.
    if (y.VarSore) y.VarSore->SetTypeText("s");
    return;
  }
  SetSoreText(y, ConvertDetected(s, kTo));
}

// 文字コード変換 (?の,?から,?へ) 456 -- the names say the codes; nothing is detected
void CmdConvertCode(TYumeBase& y, TArgs& a) {
  const int to = JCodeByName(a.Text(2));
  const int from = JCodeByName(a.Text(1));
  SetSoreText(y, ConvertJCode(a.TextInPlace(0), from, to));
}

// UTF8からSJISに変換 (?を) 527
void CmdUtf8ToSjis(TYumeBase& y, TArgs& a) {
  std::string out;
  if (!Utf8ToSjis(a.TextInPlace(0), out)) RaiseError(y, "UTF8の文字列変換に失敗しました.");
  SetSoreText(y, std::move(out));
}

// BASE64デコード (?を) 379 -- a broken text gives an empty result
void CmdBase64Decode(TYumeBase& y, TArgs& a) {
  std::string out;
  if (!Base64Decode(a.TextInPlace(0), out)) out.clear();
  SetSoreText(y, std::move(out));
}

// MBXメッセージ取得 (?から) 459 -- the message is cut off the front of the variable
void CmdMailboxMessage(TYumeBase& y, TArgs& a) {
  THashNode& box = a.Word(0);
  const std::string& text = box.ValueText();
  size_t used = 0;
  std::string message = FirstMailboxMessage(text, used);
  if (used > 0) box.SetValueText(text.substr(used));
  SetSoreText(y, std::move(message));
}

constexpr CommandDef kCommands[] = {
    {"半角変換", "?を", 27, TextCommand<ToHalfWidth>},
    {"英数半角変換", "?を", 267, TextCommand<AlnumToHalfWidth>},
    {"全角変換", "?を", 80, TextCommand<ToFullWidth>},
    {"大文字変換", "?を", 197, TextCommand<ToUpperCase>},
    {"小文字変換", "?を", 198, TextCommand<ToLowerCase>},
    {"ひらがな変換", "?を", 230, TextCommand<ToHiragana>},
    {"カタカナ変換", "?を", 231, TextCommand<ToKatakana>},
    {"文字コードをEUCに変換", "?の", 290, CmdToCode<kCodeEuc>},
    {"文字コードをJISに変換", "?の", 291, CmdToCode<kCodeJis>},
    {"文字コードをSJISに変換", "?の", 292, CmdToCode<kCodeSjis>},
    {"BASE64エンコード", "?を", 378, TextCommand<Base64Encode>},
    {"BASE64デコード", "?を", 379, CmdBase64Decode},
    {"文字コード変換", "?の,?から,?へ", 456, CmdConvertCode},
    {"SJISからUTF8に変換", "?を", 526, TextCommand<SjisToUtf8>},
    {"UTF8からSJISに変換", "?を", 527, CmdUtf8ToSjis},
    {"メールヘッダエンコード", "?を", 457, TextCommand<MailHeaderEncode>},
    {"メールヘッダデコード", "?を", 458, TextCommand<MailHeaderDecode>},
    {"MBXメッセージ取得", "?から", 459, CmdMailboxMessage},
};

}  // namespace

const TFamily kConvFamily{"文字種と文字コード", kCommands, {}};

}  // namespace yume
