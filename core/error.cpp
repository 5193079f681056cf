#include "core/error.h"

#include "core/app.h"
#include "core/hash.h"
#include "core/messages.h"
#include "core/sjis.h"
#include "core/yumebase.h"

namespace yume {

void LogError(TYumeBase& y, const std::exception& e) {
  const auto* ye = dynamic_cast<const EYume*>(&e);
  if (!ye || ye->logged_) return;
  y.ErrorLog += e.what();
  y.ErrorLog += "\r\n";
  ye->logged_ = true;
}

std::string Subst(std::string_view msg, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(msg.size() + 32);
  auto arg = args.begin();
  size_t i = 0;
  while (i < msg.size()) {
    if (msg[i] == '%' && i + 1 < msg.size() && msg[i + 1] == 's' && arg != args.end()) {
      out += *arg++;
      i += 2;
      continue;
    }
    size_t len = CharLen(msg, i);
    out.append(msg.data() + i, len);
    i += len;
  }
  return out;
}

int CurrentLine(TYumeBase& y) {
  const char* p = y.Cur;
  if (!p) return y.Line;
  while (*p && *p != '\r' && *p != '\n') ++p;
  if (!*p) return y.Line;
  while (*p == '\r' || *p == '\n') ++p;
  const char* start = p;
  long value = 0;
  while (*p >= '0' && *p <= '9' && p - start < 9) value = value * 10 + (*p++ - '0');
  if (p == start || *p != ':') return y.Line;
  y.Line = static_cast<int>(value);
  return y.Line;
}

namespace {

std::string_view FileNamePart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += CharLen(path, i)) {
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  }
  return path.substr(start);
}

std::string BuildLine(TYumeBase& y, std::string_view head, std::string_view text, int line) {
  std::string out;
  out.reserve(text.size() + 48);
  out += head;
  out += FileNamePart(y.FileName);
  out += '(';
  out += std::to_string(line);
  out += "行目): ";
  out += text;
  return out;
}

}  // namespace

std::string FormatError(TYumeBase& y, std::string_view text) {
  int line = CurrentLine(y);
  if (y.VarErrorLine) {
    y.VarErrorLine->SetValueText(std::to_string(line));
    y.VarErrorLine->TypeText = "e";
  }
  return BuildLine(y, "[エラー] ", text, line);
}

std::string FormatWarning(TYumeBase& y, std::string_view text) {
  return BuildLine(y, "[注　意] ", text, CurrentLine(y));
}

void RaiseError(TYumeBase& y, std::string_view text) {
  std::string line = FormatError(y, text);
  y.ErrorLog += line;
  y.ErrorLog += "\r\n";
  throw EYume(line, true);
}

void RaiseError(TYumeBase& y, std::string_view msg, std::initializer_list<std::string_view> args) {
  RaiseError(y, Subst(msg, args));
}

void RaiseArgumentError(TYumeBase& y, std::string_view command, std::string_view detail) {
  RaiseError(y, Subst(msg::kArgument, {command}) + std::string(detail));
}

void RaiseRangeError(TYumeBase& y) {
  RaiseError(y, msg::kRangeCheck);
}

void RaiseReadOnly(TYumeBase& y, std::string_view name) {
  RaiseError(y, msg::kReadOnly, {name});
}

void RaiseNotBuilt(TYumeBase& y, std::string_view what) {
  RaiseError(y, msg::kNotBuilt, {what});
}

void RaiseBadSyntax(TYumeBase& y, std::string_view what, std::string_view detail) {
  RaiseError(y, Subst(msg::kBadSyntax, {what}) + std::string(detail));
}

void AddWarning(TYumeBase& y, std::string_view text) {
  std::string& log = y.ErrorLog;
  log += FormatWarning(y, text);
  log += "\r\n";
  if (y.DebugMode && y.App) y.App->ShowErrorDialog();
}

bool IsErrorLine(std::string_view text) {
  return FindAligned(text, "[エラー]") != std::string_view::npos;
}

}  // namespace yume
