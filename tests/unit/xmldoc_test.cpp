#include "commands/text/xmldoc.h"

#include <gtest/gtest.h>

using namespace yume;

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>";

std::string Names(const TXmlNode& n) {
  std::string out;
  for (const auto& c : n.Children)
    out += (c->Kind == TXmlKind::kText ? "#" + c->Value : c->Name) + ";";
  return out;
}

std::string ParseError(std::string_view text) {
  try {
    TXmlDocument doc(text);
  } catch (const EXml& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(XmlParser, NestsAndRendersIndentedWithTheDeclaration) {
  TXmlDocument doc(kDecl + "\n<root>\n  <a k=\"v\">one</a>\n  <b><c/></b>\n  tail\n</root>");
  EXPECT_FALSE(doc.NoDeclaration);
  const TXmlNode* root = doc.Find("root");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(Names(*root), "a;b;#tail;");
  EXPECT_EQ(doc.Render(), kDecl +
                              "\r\n<root>\r\n\t<a k=\"v\">one</a>\r\n\t<b>\r\n\t\t<c/>\r\n"
                              "\t</b>\r\n\ttail\r\n</root>\r\n\r\n");
  // One element alone: a single text child stays on its line, with no break after it.
  EXPECT_EQ(RenderXmlNode(*doc.Find("root\\a")), "<a k=\"v\">one</a>");
  EXPECT_EQ(RenderXmlNode(*doc.Find("root\\b")), "<b>\r\n\t<c/>\r\n</b>\r\n");
}

TEST(XmlParser, ClosingTagsMatchElementsOfAnyCase) {
  // Names keep their case in XML mode; </Item> must still close <Item>, or the second Item
  // would become a child of the first.
  TXmlDocument doc(kDecl + "<List><Item>a</Item><Item>b</ITEM><End/></List>");
  EXPECT_EQ(Names(*doc.Find("list")), "Item;Item;End;");
  EXPECT_EQ(doc.FindAll("LIST\\item").size(), 2u);
  // Closing the document's own root is a fault, not a silent climb out of the tree.
  EXPECT_EQ(ParseError(kDecl + "<a/></XMLDocument>"), "タグが対応していません。<xmldocument>");
}

TEST(XmlParser, UnclosedAndStrayTagsNestAsRead) {
  // A closing tag that does not match the current element is ignored; everything after an
  // unclosed tag lands inside it.
  TXmlDocument doc(kDecl + "</zz><a><b>x</a>y</b>z");
  EXPECT_EQ(Names(doc.Root), "a;");
  EXPECT_EQ(Names(*doc.Find("a")), "b;#z;");
  EXPECT_EQ(Names(*doc.Find("a\\b")), "#x;#y;");
  EXPECT_EQ(doc.Find("a\\b")->Text(), "xy");
  EXPECT_EQ(doc.Paths(), "a\\b\\\r\na\\b\\\r\na\\\r\n");
}

TEST(XmlParser, HtmlModeWithoutDeclaration) {
  TXmlDocument doc(
      "<!DOCTYPE html>\n<!-- note > -->\n<HTML><Body>a<BR>b<img src=x.png>"
      "<Hr/><META charset=\"sjis\"><P>c</P></body></html>");
  EXPECT_TRUE(doc.NoDeclaration);
  EXPECT_EQ(Names(doc.Root), "#-->;html;");  // the comment ends at its first ">"
  EXPECT_EQ(Names(*doc.Find("html\\body")), "#a;br;#b;img;hr;meta;p;");
  EXPECT_EQ(doc.Find("html\\body\\img")->Attribute("src")->Value, "x.png");
  EXPECT_EQ(doc.Render().substr(0, 22), "-->\r\n\r\n<html>\r\n\t<body>");
  // The same names with a declaration keep their case, and br needs its closing tag.
  TXmlDocument xml(kDecl + "<BR>x");
  EXPECT_EQ(Names(*xml.Find("br")), "#x;");
  EXPECT_EQ(xml.Root.Children[0]->Name, "BR");
}

TEST(XmlParser, HtmlLowerCasingLeavesTwoByteNamesAlone) {
  // "ア" is 83 41: its second byte must not become "a".
  TXmlDocument doc("<アイテムA>表</アイテムa>");
  ASSERT_EQ(doc.Root.Children.size(), 1u);
  EXPECT_EQ(doc.Root.Children[0]->Name, "アイテムa");
  EXPECT_EQ(doc.Render(), "<アイテムa>表</アイテムa>\r\n");
}

TEST(XmlParser, Attributes) {
  TXmlDocument doc(kDecl +
                   "<a q=\"x > y / z\" u=plain w= \"sp\"/><b n=1/><c m=2?><d e=\"\" f=ア/>");
  const TXmlNode* a = doc.Find("a");
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->Attributes.size(), 3u);
  EXPECT_EQ(a->Attribute("Q")->Value, "x > y / z");
  EXPECT_EQ(a->Attribute("u")->Value, "plain");
  EXPECT_EQ(a->Attribute("w")->Value, "sp");
  EXPECT_TRUE(a->Children.empty());
  EXPECT_EQ(doc.Find("b")->Attribute("n")->Value, "1");  // unquoted value ends at "/"
  // "?" ends an unquoted value and joins the name, so c is an element "c?" holding d.
  EXPECT_EQ(Names(doc.Root), "a;b;c?;");
  EXPECT_EQ(RenderXmlNode(*doc.Find("c?")), "<c? m=\"2\">\r\n\t<d e=\"\" f=\"ア\"/>\r\n</c?>\r\n");
}

TEST(XmlParser, FaultsAreReportedWithTheirMessages) {
  EXPECT_EQ(ParseError("<input disabled>"),
            "アトリビュートの読み込みで,不正な文字列\"disabled\"があります。");
  EXPECT_EQ(ParseError("<a x=1 y>"), "アトリビュートの読み込みで,不正な文字列\"y\"があります。");
  EXPECT_EQ(ParseError("<a title=\"open>text"),
            "アトリビュート \"title\"の値が\"で終わっていません。");
  EXPECT_EQ(ParseError("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>"),
            "Shift_JIS以外の文字は処理できません。");
  EXPECT_EQ(ParseError("<?xml version=\"1.0\" encoding=\"shift_jis\"?><a/>"),
            "Shift_JIS以外の文字は処理できません。");
  EXPECT_EQ(ParseError("<?XML version=\"1.0\"?><a/>"), "(no error)");
  std::string deep;
  for (int i = 0; i < 10001; ++i) deep += "<a>";
  EXPECT_EQ(ParseError(deep), "タグの入れ子が深すぎます。");
}

TEST(XmlParser, ShiftJisTextAndKeys) {
  // Trail bytes 5C ("表", "ソ", "能") and 7C ("ポ") must neither split a key nor end a text.
  TXmlDocument doc(kDecl + "<表><能 名=\"ソ\\ポ|\">ソ能<b>&amp;</b></能></表>");
  const TXmlNode* n = doc.Find("表\\能");
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->Text(), "ソ能");
  EXPECT_EQ(n->Attribute("名")->Value, "ソ\\ポ|");
  EXPECT_EQ(doc.Find("表\\能\\b")->Text(), "&amp;");  // no character references are decoded
  EXPECT_EQ(doc.Paths(), "表\\能\\\r\n表\\能\\b\\\r\n");
  // Empty parts of a key are skipped, so a path as listed reads back.
  EXPECT_EQ(doc.Find("表\\能\\"), n);
  EXPECT_EQ(doc.Find(""), nullptr);
  EXPECT_EQ(doc.Find("表\\ない"), nullptr);
}

TEST(XmlDocument, MakeAndSetRenderWhatScriptsWrite) {
  TXmlDocument doc(kDecl + "<r><a>1</a><a>2</a></r>");
  doc.Make("r\\a")->SetText("x<&y");
  TXmlNode* made = doc.Make("R\\new\\leaf");
  made->SetAttribute("k", "v\"");
  made->SetAttribute("K", "w");  // same attribute, case ignored
  EXPECT_EQ(doc.Render(), kDecl +
                              "\r\n<r>\r\n\t<a>x<&y</a>\r\n\t<a>2</a>\r\n\t<new>\r\n"
                              "\t\t<leaf k=\"w\"/>\r\n\t</new>\r\n</r>\r\n\r\n");
  EXPECT_EQ(doc.Make(""), nullptr);
}

TEST(XmlDocument, LinesOfTextsAreIndentedAndEndInCrLf) {
  TXmlDocument doc("<r><a>one\ntwo</a><b/></r>");
  doc.Make("r\\b")->SetText("p\r\rq\r\n");
  EXPECT_EQ(doc.Render(),
            "<r>\r\n\t<a>one\r\n\ttwo</a>\r\n\t<b>p\r\n\t\r\n\tq\r\n\t</b>\r\n</r>\r\n\r\n");
  // An element rendered alone keeps its own text as it is; only its children are indented.
  EXPECT_EQ(RenderXmlNode(*doc.Find("r\\a")), "<a>one\ntwo</a>");
}

TEST(XmlTags, Strip) {
  EXPECT_EQ(StripTags("  <b>太字</b>  "), "太字");
  EXPECT_EQ(StripTags(" plain  text "), "plain  text");
  EXPECT_EQ(StripTags("<p> a </p>"), " a ");
  EXPECT_EQ(StripTags("表<i>ソ</i>能 < b"), "表ソ能 < b");
  EXPECT_EQ(StripTags(""), "");
}

TEST(XmlTags, CutOutermostElements) {
  const std::string html = "x<div a=1><Div>in</div>mid</DIV>y<div>two</div ><divx>no</divx>";
  EXPECT_EQ(CutTags(html, "<DIV>"), "<div a=1><Div>in</div>mid</DIV>\r\n<div>two</div >\r\n");
  EXPECT_EQ(CutTags(html, "divx"), "<divx>no</divx>\r\n");
  // No closing tag: up to the end. A quoted ">" does not end the closing tag.
  EXPECT_EQ(CutTags("<p>a<p>b", "p"), "<p>a<p>b\r\n");
  EXPECT_EQ(CutTags("<q>a</q \">\">z", "q"), "<q>a</q \">\">\r\n");
  // Two-byte names are compared whole.
  EXPECT_EQ(CutTags("<表>1</表><表示>2</表示>", "表"), "<表>1</表>\r\n");
  EXPECT_EQ(CutTags("<a>1</a>", ""), "");
}

TEST(XmlTags, Table) {
  EXPECT_EQ(TableToHtml("a,b\r\n\"c,d\",e,f", "border=1"),
            "<TABLE border=1>\r\n<TR><TD>a</TD><TD>b</TD><TD></TD></TR>\r\n"
            "<TR><TD>c,d</TD><TD>e</TD><TD>f</TD></TR>\r\n</TABLE>");
  EXPECT_EQ(TableToHtml("", ""), "<TABLE >\r\n</TABLE>");
}

TEST(XmlUrls, ExpandAgainstFoldersAndPages) {
  EXPECT_EQ(ExpandUrl("x.html", "http://a.jp/d/"), "http://a.jp/d/x.html");
  // A page's name is dropped before the link is added.
  EXPECT_EQ(ExpandUrl("x.html", "http://a.jp/d/index.html"), "http://a.jp/d/x.html");
  EXPECT_EQ(ExpandUrl("../x.html", "http://a.jp/d/e/index.html?q=1/2"), "http://a.jp/d/x.html");
  EXPECT_EQ(ExpandUrl("./t/", "http://a.jp/d/"), "http://a.jp/d/t/");
  EXPECT_EQ(ExpandUrl("../../../x", "http://a.jp/d/"), "http://a.jp/x");
  EXPECT_EQ(ExpandUrl("..", "http://a.jp/d/e/"), "http://a.jp/d/");
  EXPECT_EQ(ExpandUrl("y", "http://a.jp"), "http://a.jp/y");
  EXPECT_EQ(ExpandUrl("/top.html", "http://a.jp/d/e/"), "http://a.jp/top.html");
  EXPECT_EQ(ExpandUrl("https://b.jp/z", "http://a.jp/d/"), "https://b.jp/z");
  EXPECT_EQ(ExpandUrl("//cdn.jp/z", "http://a.jp/d/"), "//cdn.jp/z");
  EXPECT_EQ(ExpandUrl("表.html", "http://a.jp/ソ/能.html"), "http://a.jp/ソ/表.html");
  EXPECT_EQ(ExpandUrl("x", "dir/page.html"), "dir/x");
}
