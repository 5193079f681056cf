// Tags in HTML and XML text: stripping, cutting out, tables, URLs, and the simple document
// addressed by backslash-separated element paths.
//
// Every XML command reads its document afresh (commands/text/xmldoc.cpp) and leaves text in
// それ; a document never outlives the command.
#include <string>

#include "commands/families.h"
#include "commands/text/xmldoc.h"
#include "core/cmdlib.h"
#include "core/error.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// The document of slot 0, or the parser's message as the command's error.
TXmlDocument ReadDocument(TYumeBase& y, TArgs& a) {
  try {
    return TXmlDocument(a.TextInPlace(0));
  } catch (const EXml& e) {
    RaiseError(y, e.what());
  }
}

// The element a setter works on, created with the elements missing on its way.
TXmlNode& MadeElement(TXmlDocument& doc, TArgs& a, std::string_view key) {
  TXmlNode* el = doc.Make(key);
  if (!el) a.ArgumentError("要素のパスを指定してください。");
  return *el;
}

// タグ削除 (?から) 100
void CmdStripTags(TYumeBase& y, TArgs& a) {
  SetSoreText(y, StripTags(a.TextInPlace(0)));
}

// タグ切り出し (?から,?の) 101
void CmdCutTags(TYumeBase& y, TArgs& a) {
  const std::string tag = a.Text(1);
  SetSoreText(y, CutTags(a.TextInPlace(0), tag));
}

// テーブルタグで囲む (?を,?で) 394
void CmdTableTag(TYumeBase& y, TArgs& a) {
  const std::string options = a.Text(1);
  SetSoreText(y, TableToHtml(a.TextInPlace(0), options));
}

// URL展開 (?を,?で) 523
void CmdExpandUrl(TYumeBase& y, TArgs& a) {
  const std::string base = a.Text(1);
  SetSoreText(y, ExpandUrl(a.TextInPlace(0), base));
}

// XMLテキストデータ取得 (?の,?を) 441 -- every element the key reaches, not only the first.
void CmdXmlGetText(TYumeBase& y, TArgs& a) {
  const std::string key = a.Text(1);
  const TXmlDocument doc = ReadDocument(y, a);
  std::string out;
  for (const TXmlNode* el : doc.FindAll(key)) {
    out += el->Text();
    out += "\r\n";
  }
  SetSoreText(y, std::string(TrimBlanks(out)));
}

// XMLテキストデータ設定 (?の,?に,?を) 442
void CmdXmlSetText(TYumeBase& y, TArgs& a) {
  const std::string text = a.Text(2);
  const std::string key = a.Text(1);
  TXmlDocument doc = ReadDocument(y, a);
  MadeElement(doc, a, key).SetText(text);
  SetSoreText(y, doc.Render());
}

// XML属性データ取得 (?の,?を) 443 -- name=value lines.
void CmdXmlGetAttributes(TYumeBase& y, TArgs& a) {
  const std::string key = a.Text(1);
  const TXmlDocument doc = ReadDocument(y, a);
  std::string out;
  if (const TXmlNode* el = doc.Find(key)) {
    for (const auto& at : el->Attributes) {
      out += at->Name;
      out += '=';
      out += at->Value;
      out += "\r\n";
    }
  }
  SetSoreText(y, std::move(out));
}

// XML属性データ設定 (?の,?に,?を) 444 -- the lines replace every attribute the element had.
void CmdXmlSetAttributes(TYumeBase& y, TArgs& a) {
  const std::string lines = a.Text(2);
  const std::string key = a.Text(1);
  TXmlDocument doc = ReadDocument(y, a);
  TXmlNode& el = MadeElement(doc, a, key);
  el.Attributes.clear();
  for (size_t pos = 0; pos < lines.size();) {
    const std::string_view line = NextLine(lines, pos);
    const size_t eq = line.find('=');  // "=" is never a second byte
    const std::string_view name = line.substr(0, eq);
    // A nameless attribute could not be read back.
    if (name.empty()) continue;
    el.SetAttribute(name, eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1));
  }
  SetSoreText(y, doc.Render());
}

// XML切り出し (?から,?の) 445
void CmdXmlCut(TYumeBase& y, TArgs& a) {
  const std::string key = a.Text(1);
  const TXmlDocument doc = ReadDocument(y, a);
  const TXmlNode* el = doc.Find(key);
  SetSoreText(y, el ? RenderXmlNode(*el) : std::string());
}

// XMLパス形式で取得 (?を) 453
void CmdXmlPaths(TYumeBase& y, TArgs& a) {
  const TXmlDocument doc = ReadDocument(y, a);
  SetSoreText(y, doc.Paths());
}

constexpr CommandDef kCommands[] = {
    {"タグ削除", "?から", 100, CmdStripTags},
    {"タグ切り出し", "?から,?の", 101, CmdCutTags},
    {"テーブルタグで囲む", "?を,?で", 394, CmdTableTag},
    {"URL展開", "?を,?で", 523, CmdExpandUrl},
    {"XMLテキストデータ取得", "?の,?を", 441, CmdXmlGetText},
    {"XMLテキストデータ設定", "?の,?に,?を", 442, CmdXmlSetText},
    {"XML属性データ取得", "?の,?を", 443, CmdXmlGetAttributes},
    {"XML属性データ設定", "?の,?に,?を", 444, CmdXmlSetAttributes},
    {"XML切り出し", "?から,?の", 445, CmdXmlCut},
    {"XMLパス形式で取得", "?を", 453, CmdXmlPaths},
};

}  // namespace

const TFamily kXmlFamily{"XMLとHTML", kCommands, {}};

}  // namespace yume
