#include "core/prepare.h"

#include <charconv>

#include "core/convhalf.h"
#include "core/error.h"
#include "core/hash.h"
#include "core/sjis.h"
#include "core/textutil.h"
#include "core/yumebase.h"

namespace yume {

namespace {

struct Opening {
  int line = 0;
  size_t pos = 0;  // source position just after the opening character
};

// Up to 20 bytes of the source after an opening character, never ending inside a
// two-byte character (so the message converts cleanly for the terminal).
std::string Context(std::string_view src, size_t pos) {
  size_t end = pos;
  while (end < src.size() && src[end] != '\0') {
    size_t len = CharLen(src, end);
    if (end + len - pos > 20) break;
    end += len;
  }
  return std::string(src.substr(pos, end - pos));
}

}  // namespace

void PrepareSource(TYumeBase& y, std::string& text) {
  const TConvToHalf& conv = TConvToHalf::Instance();
  std::string_view src(text);
  // Text after a zero byte is not part of the script.
  if (size_t z = src.find('\0'); z != std::string_view::npos) src = src.substr(0, z);

  std::string out;
  out.reserve(src.size() + src.size() / 8 + 16);

  int line = 1;
  bool brace = false, lineComment = false, block = false;
  bool dq = false, bq = false, here = false;
  std::string terminator;  // a copy: src stops being valid once the text is replaced
  Opening braceOpen, stringOpen;

  const size_t n = src.size();
  size_t i = 0;
  auto next_char = [&](size_t at) -> std::string_view {
    return at < n ? src.substr(at, CharLen(src, at)) : std::string_view();
  };
  auto append_marker = [&]() {
    out += "\r\n";
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, line);
    out.append(buf, r.ptr);
    out += ':';
  };

  while (i < n) {
    std::string_view raw = next_char(i);
    i += raw.size();
    std::string_view h = conv.Convert(raw);
    const bool stringOpen0 = dq || bq || here;
    // Outside strings and brace comments the character is replaced by its converted form.
    std::string_view c = (!stringOpen0 && !brace) ? h : raw;

    if (here && raw == terminator) {
      out += raw;
      here = false;
      continue;
    }

    bool append = true;  // the generic append at the end
    const bool inString = dq || bq;
    const bool inComment = brace || lineComment || block;
    switch (h[0]) {
      case '\r':
        if (i < n && src[i] == '\n') ++i;
        if (inString || here) {
          out += "\r\n";
        } else {
          append_marker();
        }
        lineComment = false;
        ++line;
        append = false;
        break;
      case '"':
        if (!brace && !lineComment && !here && !bq && !block) {
          dq = !dq;
          if (dq) stringOpen = {line, i};
          out += '"';
          append = false;
        }
        break;
      case '\'':
        if (!inString && !here && !brace) {
          lineComment = true;
          append = false;
        }
        break;
      case '*':
        if (!inString && !here && !brace) {
          std::string_view nx = next_char(i);
          if (!nx.empty() && conv.Convert(nx) == "/") {
            block = false;
            i += nx.size();
            append = false;
          }
        }
        break;
      case '/':
        if (!inString && !here && !brace) {
          std::string_view nx = next_char(i);
          std::string_view nh = nx.empty() ? nx : conv.Convert(nx);
          if (nh == "*" || nh == "/") {
            (nh == "*" ? block : lineComment) = true;
            i += nx.size();
            append = false;
          }
        }
        break;
      case '@': {
        std::string_view nx = next_char(i);
        if (!nx.empty() && conv.Convert(nx) == "@" && !inComment && !inString && !here) {
          i += nx.size();
          here = true;
          stringOpen = {line, i};
          terminator.assign(next_char(i));
          i += terminator.size();
          out += "@@";
          out += terminator;
          append = false;
        }
        break;
      }
      case '\\':
        if (inComment) {
          append = false;
        } else if (dq) {
          out += '\\';
          // The escaped character is copied as written, so an escaped quote does not end the
          // string. A line break is left to the line-break rule so that lines stay counted.
          std::string_view nx = next_char(i);
          if (!nx.empty() && nx[0] != '\r') {
            out += nx;
            i += nx.size();
          }
          append = false;
        }
        break;
      case '`':
        if (!brace && !lineComment && !dq && !here && !block) {
          std::string_view nx = next_char(i);
          if (!nx.empty() && conv.Convert(nx) == "`") {
            i += nx.size();
            if (!bq) stringOpen = {line, i};
            out += "``";
            append = false;
          } else {
            bq = !bq;
            if (bq) stringOpen = {line, i};
            // Appended below: "`" either way (converted on opening, on closing outside).
          }
        }
        break;
      case '{':
      case '}':
        if (!inString && !here && !lineComment) {
          brace = (h[0] == '{');
          braceOpen = {line, i};
          append = false;
        }
        break;
      default:
        break;
    }

    if (append && !brace && !lineComment && !block) {
      out += (dq || bq || here) ? c : h;
    }
  }

  // The working text replaces the script before the checks, as the checks report positions
  // in the text as written.
  std::string written = std::move(text);
  text = std::move(out);
  std::string_view w(written);

  auto fail = [&](const Opening& at, std::string msg) {
    y.Cur = nullptr;
    y.Line = at.line;
    msg += "『";
    msg += Context(w, at.pos);
    msg += "』の近く";
    RaiseError(y, msg);
  };
  if (brace) fail(braceOpen, "{ }が対応していません。");
  if (dq) fail(stringOpen, "「」または\"\"が対応していません。");
  if (bq) fail(stringOpen, "『』または''''が対応していません。");
  if (here) {
    std::string msg = "@@";
    msg += terminator;
    msg += "...";
    msg += terminator;
    msg += "が対応していません。";
    fail(stringOpen, msg);
  }
}

namespace {

// Steps over a string literal of the working text starting at p ('"', '`' or "@@X").
const char* SkipLiteral(const char* p) {
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') {
      if (*p == '\\' && p[1]) ++p;
      p += (IsLead(*p) && p[1]) ? 2 : 1;
    }
    return *p ? p + 1 : p;
  }
  if (*p == '`') {
    ++p;
    while (*p) {
      if (*p == '`') {
        if (p[1] == '`') {
          p += 2;
          continue;
        }
        return p + 1;
      }
      p += (IsLead(*p) && p[1]) ? 2 : 1;
    }
    return p;
  }
  // Here-document: "@@", terminator X, then everything up to the next X.
  p += 2;
  if (!*p) return p;
  const size_t tlen = (IsLead(*p) && p[1]) ? 2 : 1;
  std::string_view term(p, tlen);
  p += tlen;
  while (*p) {
    if (std::string_view(p, (IsLead(*p) && p[1]) ? 2 : 1) == term) return p + tlen;
    if (*p == '\\' && p[1]) {
      ++p;
    } else if (static_cast<unsigned char>(p[0]) == 0x81 &&
               static_cast<unsigned char>(p[1]) == 0x8F) {
      p += 2;  // "￥" escapes too
    }
    p += (IsLead(*p) && p[1]) ? 2 : 1;
  }
  return p;
}

// A "*" defines a label only at the start of a line: before it, going backwards, only
// spaces or tabs, an optional ":" and digits (the line marker), then a line break or the
// start of the text.
bool AtLineStart(const char* begin, const char* star) {
  const char* p = star;
  while (p > begin && (p[-1] == ' ' || p[-1] == '\t')) --p;
  if (p > begin && p[-1] == ':') --p;
  while (p > begin && p[-1] >= '0' && p[-1] <= '9') --p;
  return p == begin || p[-1] == '\r' || p[-1] == '\n';
}

}  // namespace

void CollectLabels(TYumeBase& y, const std::string& text, std::string_view fileName) {
  const char* const begin = text.c_str();
  const char* p = begin;
  while (*p) {
    const char c = *p;
    if (c == '"' || c == '`' || (c == '@' && p[1] == '@')) {
      p = SkipLiteral(p);
      continue;
    }
    if (c != '*') {
      p += (IsLead(c) && p[1]) ? 2 : 1;
      continue;
    }
    if (!AtLineStart(begin, p)) {
      ++p;
      continue;
    }
    const char* star = p;
    ++p;
    const char* lineStart = p;
    while (*p && *p != '\r' && *p != '\n') p += (IsLead(*p) && p[1]) ? 2 : 1;
    std::string_view rest(lineStart, p - lineStart);
    while (*p == '\r' || *p == '\n') ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (*p == ':') ++p;
    const char* body = p;

    rest = TrimBlanks(rest);
    std::string_view name = rest, params;
    if (size_t open = FindCharAligned(rest, '('); open != std::string_view::npos) {
      name = TrimBlanks(rest.substr(0, open));
      size_t close = FindCharAligned(rest, ')', open + 1);
      params = TrimBlanks(rest.substr(
          open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1));
    }
    if (y.Dict.Find(name, false)) {
      y.Cur = star;
      RaiseError(y, "ラベル\"%s\"の定義に失敗しました。既に単語として使われています。", {name});
    }
    auto word = std::make_unique<THashNode>();
    word->Name = std::string(name);
    word->Kind = wkLabel;
    word->RefPos = body;
    word->Pattern = std::string(params);
    word->TypeText = std::string(fileName);
    word->Tag = 0;
    word->Reserved = true;
    y.Dict.Add(std::move(word));
  }
}

std::string ScriptFileText(std::string_view raw) {
  const std::string text = ScriptTextToCp932(raw);
  std::string_view in = text;
  if (size_t z = in.find('\0'); z != std::string_view::npos) in = in.substr(0, z);
  std::string out;
  out.reserve(in.size() + in.size() / 16 + 2);
  size_t i = 0;
  const size_t n = in.size();
  while (i < n) {
    const char c = in[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < n && in[i + 1] == '\n') ++i;
      ++i;
      continue;
    }
    size_t j = i;
    while (j < n && in[j] != '\r' && in[j] != '\n') ++j;
    out.append(in.data() + i, j - i);
    i = j;
  }
  if (!out.empty() && out.back() != '\n') out += "\r\n";
  return out;
}

}  // namespace yume
