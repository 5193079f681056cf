// The markup engine: a tolerant reader that builds a node tree, its writer, and the plain tag
// and URL helpers. Every scan steps over two-byte characters, so a second byte such as the 5C
// of "表" never splits a key and never counts as a letter to be cased.
#include "commands/text/xmldoc.h"

#include <algorithm>

#include "core/sjis.h"
#include "core/textutil.h"
#include "platform/paths.h"
#include "table/csvdb.h"

namespace yume {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// Unclosed tags nest every later element one level deeper; a limit keeps the tree (and the
// writer, which recurses over it) within the stack.
constexpr int kMaxDepth = 10000;

bool IsWhite(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// ASCII letters only: a second byte in A-Z (the 41 of "ア") stays as it is.
std::string CaseMapped(std::string_view s, bool upper) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); i += CharLen(out, i)) {
    char& c = out[i];
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}
std::string Lower(std::string_view s) {
  return CaseMapped(s, false);
}
std::string Upper(std::string_view s) {
  return CaseMapped(s, true);
}

// The non-empty parts of a key between backslashes.
std::vector<std::string_view> KeyParts(std::string_view key) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= key.size(); i += i < key.size() ? CharLen(key, i) : 1) {
    if (i == key.size() || key[i] == '\\') {
      if (i > start) parts.push_back(key.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

struct TTag {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Attributes;
};

class TParser {
 public:
  TParser(std::string_view s, TXmlDocument& doc) : s_(s), doc_(doc) {}

  void Run() {
    ReadDeclaration();
    cur_ = &doc_.Root;
    while (true) {
      SkipWhite();
      if (p_ >= s_.size()) break;
      if (s_[p_] == '<') {
        Handle(ReadTag());
        continue;
      }
      size_t lt = FindCharAligned(s_, '<', p_);
      if (lt == std::string_view::npos) lt = s_.size();
      const std::string_view text = TrimBlanks(s_.substr(p_, lt - p_));
      p_ = lt;
      if (!text.empty())
        cur_->Add(std::make_unique<TXmlNode>(TXmlKind::kText, "", std::string(text)));
    }
  }

 private:
  void SkipWhite() {
    while (p_ < s_.size() && IsWhite(s_[p_])) ++p_;
  }

  void ReadDeclaration() {
    SkipWhite();
    const size_t start = p_;
    if (p_ < s_.size() && s_[p_] == '<') {
      TTag tag = ReadTag();
      if (Lower(tag.Name) == "?xml?") {
        for (auto& [name, value] : tag.Attributes) {
          if (SameTextIgnoreCase(name, "version")) doc_.Version = value;
          if (SameTextIgnoreCase(name, "encoding")) {
            if (value != "Shift_JIS") throw EXml("Shift_JIS以外の文字は処理できません。");
            doc_.Encoding = value;
          }
        }
        return;
      }
    }
    doc_.NoDeclaration = true;
    p_ = start;
  }

  // At "<": the name up to ">" or a space, then the attributes up to ">". "<!" tags with a
  // space (comments, DOCTYPE) are skipped to the next ">" unread.
  TTag ReadTag() {
    TTag tag;
    const size_t n = s_.size();
    ++p_;
    while (p_ < n && s_[p_] != '>' && s_[p_] != ' ') {
      const size_t len = CharLen(s_, p_);
      tag.Name.append(s_.substr(p_, len));
      p_ += len;
    }
    if (p_ >= n) return tag;
    if (s_[p_] == '>') {
      ++p_;
      return tag;
    }
    if (!tag.Name.empty() && tag.Name[0] == '!') {
      const size_t gt = FindCharAligned(s_, '>', p_);
      p_ = gt == std::string_view::npos ? n : gt + 1;
      return tag;
    }
    while (true) {
      SkipWhite();
      if (p_ >= n) break;
      if (s_[p_] == '>') {
        ++p_;
        break;
      }
      const size_t b = p_;
      while (p_ < n && s_[p_] != '=' && s_[p_] != '>') p_ += CharLen(s_, p_);
      std::string token(s_.substr(b, p_ - b));
      if (p_ >= n || s_[p_] != '=') {
        // "?>" ends a declaration, "/>" an empty element.
        if (token == "?" || token == "/") {
          tag.Name += token;
          continue;
        }
        throw EXml("アトリビュートの読み込みで,不正な文字列\"" + token + "\"があります。");
      }
      ++p_;
      SkipWhite();
      std::string value;
      if (p_ < n && s_[p_] == '"') {
        const size_t q = FindCharAligned(s_, '"', p_ + 1);
        if (q == std::string_view::npos)
          throw EXml("アトリビュート \"" + token + "\"の値が\"で終わっていません。");
        value.assign(s_.substr(p_ + 1, q - p_ - 1));
        p_ = q + 1;
      } else {
        const size_t v = p_;
        while (p_ < n && s_[p_] != ' ' && s_[p_] != '/' && s_[p_] != '>' && s_[p_] != '?')
          p_ += CharLen(s_, p_);
        value.assign(s_.substr(v, p_ - v));
      }
      tag.Attributes.emplace_back(std::move(token), std::move(value));
    }
    return tag;
  }

  void Handle(TTag tag) {
    std::string& name = tag.Name;
    if (name.empty() || name[0] == '!') return;
    if (name[0] == '/') {
      // Element names keep their case in XML mode: compare as path lookup does, ignoring case.
      const std::string closing = Lower(std::string_view(name).substr(1));
      if (!SameTextIgnoreCase(closing, cur_->Name)) return;
      if (cur_ == &doc_.Root) throw EXml("タグが対応していません。<" + closing + ">");
      cur_ = cur_->Parent;
      --depth_;
      return;
    }
    bool empty = false;
    if (doc_.NoDeclaration) {
      name = Lower(name);
      empty = name == "br" || name == "hr" || name == "meta" || name == "img";
    }
    if (name.back() == '/') {
      name.pop_back();
      empty = true;
    }
    auto el = std::make_unique<TXmlNode>(TXmlKind::kElement, std::move(name));
    for (auto& [an, av] : tag.Attributes) {
      auto at = std::make_unique<TXmlNode>(TXmlKind::kAttribute, std::move(an), std::move(av));
      at->Parent = el.get();
      el->Attributes.push_back(std::move(at));
    }
    TXmlNode* added = cur_->Add(std::move(el));
    if (empty) return;
    if (++depth_ > kMaxDepth) throw EXml("タグの入れ子が深すぎます。");
    cur_ = added;
  }

  std::string_view s_;
  TXmlDocument& doc_;
  size_t p_ = 0;
  TXmlNode* cur_ = nullptr;
  int depth_ = 0;
};

// Writes rendered text with the indentation of its level: every line (empty ones too) gets a
// TAB per level and ends in CR LF, whatever break it had. Level 0 is written as it is unless
// `normalize` (a whole document's lines are always rejoined with CR LF).
class TEmitter {
 public:
  TEmitter(std::string& out, bool normalize) : out_(out), normalize_(normalize) {}
  int Level = 0;

  void Put(std::string_view s) {
    if (Level == 0 && !normalize_) {
      out_ += s;
      if (!s.empty()) {
        lineStart_ = s.back() == '\n' || s.back() == '\r';
        afterCr_ = false;
      }
      return;
    }
    for (char c : s) {
      if (c == '\n' && afterCr_) {
        afterCr_ = false;
        continue;
      }
      afterCr_ = c == '\r';
      if (lineStart_) out_.append(static_cast<size_t>(Level), '\t');
      if (c == '\r' || c == '\n') {
        out_ += kCrLf;
        lineStart_ = true;
      } else {
        out_ += c;
        lineStart_ = false;
      }
    }
  }
  // The last line of a child ends in CR LF even when its text did not.
  void EndLine() {
    if (!lineStart_) Put(kCrLf);
  }

 private:
  std::string& out_;
  bool normalize_;
  bool lineStart_ = true;
  bool afterCr_ = false;
};

void Render(const TXmlNode& node, TEmitter& e) {
  if (node.Kind != TXmlKind::kElement) {
    e.Put(node.Value);
    e.Put(kCrLf);
    return;
  }
  e.Put("<");
  e.Put(node.Name);
  for (const auto& at : node.Attributes) {
    e.Put(" ");
    e.Put(at->Name);
    e.Put("=\"");
    e.Put(at->Value);
    e.Put("\"");
  }
  if (node.Children.empty()) {
    e.Put("/>\r\n");
    return;
  }
  if (node.Children.size() == 1 && node.Children[0]->Kind == TXmlKind::kText) {
    e.Put(">");
    e.Put(node.Children[0]->Value);
  } else {
    e.Put(">\r\n");
    ++e.Level;
    for (const auto& child : node.Children) {
      Render(*child, e);
      e.EndLine();
    }
    --e.Level;
  }
  e.Put("</");
  e.Put(node.Name);
  e.Put(">");
  if (node.Children.size() != 1 || node.Children[0]->Kind != TXmlKind::kText) e.Put(kCrLf);
}

// `path` is shared by the whole walk (a copy per level would cost the square of the depth).
void WalkPaths(const TXmlNode& node, std::string& path, std::string& out) {
  if (node.Children.empty()) {
    out += path;
    out += node.Name;
    out += kCrLf;
    return;
  }
  const size_t len = path.size();
  path += node.Name;
  path += '\\';
  for (const auto& child : node.Children) WalkPaths(*child, path, out);
  path.resize(len);
}

// The tag name after a "<" at `from`: letters, digits, "-", "_", "/", "." and two-byte
// characters; `end` is where it stops.
std::string_view TagNameAt(std::string_view s, size_t from, size_t& end) {
  size_t i = from;
  while (i < s.size()) {
    const char c = s[i];
    if (IsLead(c) && i + 1 < s.size()) {
      i += 2;
      continue;
    }
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_' || c == '/' || c == '.';
    if (!ok) break;
    ++i;
  }
  end = i;
  return s.substr(from, i - from);
}

// Just past the ">" that ends the tag going on at `from`; quoted values may hold ">".
size_t AfterTagEnd(std::string_view s, size_t from) {
  for (size_t i = from; i < s.size(); i += CharLen(s, i)) {
    if (s[i] == '>') return i + 1;
    if (s[i] == '"' || s[i] == '\'') {
      const size_t q = FindCharAligned(s, s[i], i + 1);
      if (q == std::string_view::npos) return s.size();
      i = q;
    }
  }
  return s.size();
}

}  // namespace

// ---- nodes ----

TXmlNode::~TXmlNode() = default;

TXmlNode* TXmlNode::Add(std::unique_ptr<TXmlNode> child) {
  child->Parent = this;
  Children.push_back(std::move(child));
  return Children.back().get();
}

TXmlNode* TXmlNode::Child(std::string_view name) const {
  for (const auto& c : Children)
    if (c->Kind == TXmlKind::kElement && SameTextIgnoreCase(c->Name, name)) return c.get();
  return nullptr;
}

TXmlNode* TXmlNode::Attribute(std::string_view name) const {
  for (const auto& at : Attributes)
    if (SameTextIgnoreCase(at->Name, name)) return at.get();
  return nullptr;
}

void TXmlNode::SetAttribute(std::string_view name, std::string_view value) {
  if (TXmlNode* at = Attribute(name)) {
    at->Value.assign(value);
    return;
  }
  auto at = std::make_unique<TXmlNode>(TXmlKind::kAttribute, std::string(name), std::string(value));
  at->Parent = this;
  Attributes.push_back(std::move(at));
}

std::string TXmlNode::Text() const {
  std::string out;
  for (const auto& c : Children)
    if (c->Kind == TXmlKind::kText) out += c->Value;
  return out;
}

void TXmlNode::SetText(std::string_view text) {
  for (const auto& c : Children) {
    if (c->Kind == TXmlKind::kText) {
      c->Value.assign(text);
      return;
    }
  }
  Add(std::make_unique<TXmlNode>(TXmlKind::kText, "", std::string(text)));
}

// ---- documents ----

TXmlDocument::TXmlDocument() : Root(TXmlKind::kElement, "XMLDocument") {}

TXmlDocument::TXmlDocument(std::string_view text) : TXmlDocument() {
  Parse(text);
}

void TXmlDocument::Parse(std::string_view text) {
  TParser(text, *this).Run();
}

TXmlNode* TXmlDocument::Find(std::string_view key) const {
  const std::vector<std::string_view> parts = KeyParts(key);
  if (parts.empty()) return nullptr;
  const TXmlNode* cur = &Root;
  for (std::string_view part : parts) {
    cur = cur->Child(part);
    if (!cur) return nullptr;
  }
  return const_cast<TXmlNode*>(cur);
}

std::vector<TXmlNode*> TXmlDocument::FindAll(std::string_view key) const {
  const std::vector<std::string_view> parts = KeyParts(key);
  std::vector<TXmlNode*> found;
  if (parts.empty()) return found;
  found.push_back(const_cast<TXmlNode*>(&Root));
  for (std::string_view part : parts) {
    std::vector<TXmlNode*> next;
    for (TXmlNode* n : found)
      for (const auto& c : n->Children)
        if (c->Kind == TXmlKind::kElement && SameTextIgnoreCase(c->Name, part))
          next.push_back(c.get());
    found.swap(next);
  }
  return found;
}

TXmlNode* TXmlDocument::Make(std::string_view key) {
  const std::vector<std::string_view> parts = KeyParts(key);
  if (parts.empty()) return nullptr;
  TXmlNode* cur = &Root;
  for (std::string_view part : parts) {
    TXmlNode* next = cur->Child(part);
    cur = next ? next : cur->Add(std::make_unique<TXmlNode>(TXmlKind::kElement, std::string(part)));
  }
  return cur;
}

std::string TXmlDocument::Render() const {
  std::string out;
  TEmitter e(out, true);
  if (!NoDeclaration) e.Put("<?xml version=\"" + Version + "\" encoding=\"Shift_JIS\"?>\r\n");
  for (const auto& top : Root.Children) {
    yume::Render(*top, e);
    e.Put(kCrLf);
  }
  return out;
}

std::string TXmlDocument::Paths() const {
  std::string out;
  std::string path;
  for (const auto& top : Root.Children) WalkPaths(*top, path, out);
  return out;
}

std::string RenderXmlNode(const TXmlNode& node) {
  std::string out;
  TEmitter e(out, false);
  Render(node, e);
  return out;
}

// ---- tags ----

std::string StripTags(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  std::string out;
  out.reserve(t.size());
  size_t i = 0;
  while (i < t.size()) {
    if (t[i] == '<') {
      const size_t gt = FindCharAligned(t, '>', i + 1);
      if (gt == std::string_view::npos) {
        // A "<" that no ">" follows is text, not a tag.
        out += t.substr(i);
        break;
      }
      i = gt + 1;
      continue;
    }
    const size_t len = CharLen(t, i);
    out += t.substr(i, len);
    i += len;
  }
  return out;
}

std::string CutTags(std::string_view text, std::string_view tag) {
  std::string want;
  for (size_t i = 0; i < tag.size(); i += CharLen(tag, i))
    if (tag[i] != '<' && tag[i] != '>') want.append(tag.substr(i, CharLen(tag, i)));
  want = Upper(want);
  std::string out;
  if (want.empty()) return out;
  const std::string closing = "/" + want;
  size_t pos = 0;
  size_t lt;
  while ((lt = FindCharAligned(text, '<', pos)) != std::string_view::npos) {
    size_t end = 0;
    if (Upper(TagNameAt(text, lt + 1, end)) != want) {
      pos = lt + 1;
      continue;
    }
    size_t stop = text.size();
    int depth = 1;
    size_t q = end, q2;
    while ((q2 = FindCharAligned(text, '<', q)) != std::string_view::npos) {
      const std::string name = Upper(TagNameAt(text, q2 + 1, q));
      if (name == want) {
        ++depth;
      } else if (name == closing) {
        if (depth >= 2) {
          --depth;
        } else {
          stop = AfterTagEnd(text, q);
          break;
        }
      }
    }
    out += text.substr(lt, stop - lt);
    out += kCrLf;
    pos = stop;
  }
  return out;
}

std::string TableToHtml(std::string_view csv, std::string_view options) {
  TCsvDb table;
  table.SetCsvText(csv);
  const int cols = table.ColCount();
  std::string out = "<TABLE ";
  out += options;
  out += ">\r\n";
  for (int r = 0; r < table.RowCount(); ++r) {
    out += "<TR>";
    for (int c = 0; c < cols; ++c) {
      out += "<TD>";
      out += table.GetCell(c, r);
      out += "</TD>";
    }
    out += "</TR>\r\n";
  }
  out += "</TABLE>";
  return out;
}

// ---- URLs ----

std::string ExpandUrl(std::string_view relative, std::string_view base) {
  const size_t slash = FindCharAligned(relative, '/');
  if (slash != std::string_view::npos && slash + 1 < relative.size() && relative[slash + 1] == '/')
    return std::string(relative);
  // The query and fragment of the base say nothing of its folder.
  const size_t q = std::min(FindCharAligned(base, '?'), FindCharAligned(base, '#'));
  if (q != std::string_view::npos) base = base.substr(0, q);
  // "scheme://host" stays; ".." never takes it away.
  std::string_view origin, path = base;
  const size_t b = FindCharAligned(base, '/');
  if (b != std::string_view::npos && b + 1 < base.size() && base[b + 1] == '/') {
    size_t host = FindCharAligned(base, '/', b + 2);
    if (host == std::string_view::npos) host = base.size();
    origin = base.substr(0, host);
    path = base.substr(host);
    if (path.empty()) path = "/";
  }
  // A page's folder is what its links are relative to.
  const std::string folder = ExtractFilePath(path);
  std::string out(origin);
  out += ExpandRelativePath(relative, folder);
  // A link to a folder stays one ("", "sub/", ".", "..").
  const std::string_view last = relative.substr(relative.find_last_of('/') + 1);
  const bool toFolder = relative.empty() || last.empty() || last == "." || last == "..";
  if (toFolder && !out.empty() && out.back() != '/') out += '/';
  return out;
}

}  // namespace yume
