// Markup in Shift_JIS text: a small tolerant XML/HTML document (parser, tree, writer), tag
// stripping and cutting, HTML tables and relative URLs. Plain functions on CP932 byte strings
// that know nothing of the interpreter; nothing here ever fetches anything (no entities, no
// DTDs: a "<!" tag is skipped).
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yume {

// A document that cannot be read; what() is the message scripts see.
class EXml : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TXmlKind { kElement = 1, kAttribute = 2, kText = 3 };

class TXmlNode {
 public:
  TXmlNode(TXmlKind kind, std::string name, std::string value = {})
      : Kind(kind), Name(std::move(name)), Value(std::move(value)) {}
  ~TXmlNode();
  TXmlNode(const TXmlNode&) = delete;
  TXmlNode& operator=(const TXmlNode&) = delete;

  TXmlNode* Parent = nullptr;
  TXmlKind Kind;
  std::string Name;   // elements and attributes
  std::string Value;  // attributes and texts
  std::vector<std::unique_ptr<TXmlNode>> Children;
  std::vector<std::unique_ptr<TXmlNode>> Attributes;

  TXmlNode* Add(std::unique_ptr<TXmlNode> child);
  // The first child element with that name, ASCII case ignored; null when there is none.
  TXmlNode* Child(std::string_view name) const;
  TXmlNode* Attribute(std::string_view name) const;
  // Replaces the value of the attribute of that name, or adds one.
  void SetAttribute(std::string_view name, std::string_view value);
  // The values of the text children, joined.
  std::string Text() const;
  // The first text child takes the value; without one a text child is added.
  void SetText(std::string_view text);
};

class TXmlDocument {
 public:
  TXmlDocument();
  // Parses the text; throws EXml with the message of the first fault.
  explicit TXmlDocument(std::string_view text);

  std::string Version = "1.0";
  std::string Encoding = "Shift_JIS";
  // The text had no XML declaration: names were read in HTML mode and rendering omits it.
  bool NoDeclaration = false;
  // "XMLDocument", whose children are the document's top-level nodes.
  TXmlNode Root;

  // The elements a backslash-separated key names: the first match at each step (Find), every
  // match at each step (FindAll), or the first match with missing ones created (Make, null for
  // a key naming nothing). An empty key or part names nothing.
  TXmlNode* Find(std::string_view key) const;
  std::vector<TXmlNode*> FindAll(std::string_view key) const;
  TXmlNode* Make(std::string_view key);

  // The declaration (unless NoDeclaration), then each top-level node followed by CR LF.
  std::string Render() const;
  // The leaf path of every node, one per line ("a\b\" for the text of b).
  std::string Paths() const;

 private:
  void Parse(std::string_view text);
};

// One element (or text) as text: children indented by a TAB per level, lines ending in CR LF.
std::string RenderXmlNode(const TXmlNode& node);

// The text without its tags ("<" to the next ">"), trimmed first.
std::string StripTags(std::string_view text);
// Every element of that tag name (case ignored, "<" and ">" around it dropped), outermost
// only, from its opening tag through its closing one (or the end of the text), each followed
// by CR LF.
std::string CutTags(std::string_view text, std::string_view tag);
// A comma-separated table as an HTML table, `options` inside the TABLE tag.
std::string TableToHtml(std::string_view csv, std::string_view options);
// A relative URL resolved against a base URL: a page's name is dropped, "." and ".." are taken
// off (never past the host); a URL with "//" (scheme and host) is given back as it is.
std::string ExpandUrl(std::string_view relative, std::string_view base);

}  // namespace yume
