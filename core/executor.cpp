// The statement step. Statements themselves are not executed by this version: the step walks
// over what needs no execution (separators, line breaks with their markers, label lines) and
// reports the first statement it meets with a clear error, never silently.
#include "core/error.h"
#include "core/runseam.h"
#include "core/sjis.h"
#include "core/yumebase.h"

namespace yume {

namespace {

// Reads a line marker after a line break ("12:") and records its line.
const char* ReadLineMarker(TYumeBase& y, const char* p) {
  while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
  if (*p >= '0' && *p <= '9') {
    const char* s = p;
    long v = 0;
    while (*p >= '0' && *p <= '9') {
      if (p - s < 9) v = v * 10 + (*p - '0');
      ++p;
    }
    y.Line = (*p == ':') ? static_cast<int>(v) : -1;
    if (*p == ':') ++p;
  }
  return p;
}

}  // namespace

void ExecuteStatement(TYumeBase& y) {
  const char* p = y.Cur;
  if (!p) return;
  for (;;) {
    char c = *p;
    if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\xA4') {
      ++p;
    } else if (c == '\r' || c == '\n') {
      p = ReadLineMarker(y, p);
    } else if (c == '*') {
      while (*p && *p != '\r') ++p;  // a label line: nothing to run
    } else {
      break;
    }
  }
  if (!*p) {
    y.Cur = p;
    return;
  }
  // Step past the statement so that "continue" in the error dialog goes on after it.
  const char* at = p;
  y.Cur = at;
  while (*p && *p != '\r' && *p != ';') p += (IsLead(*p) && p[1]) ? 2 : 1;
  std::string line = FormatError(y, "この版のゆめもりは、まだ文を実行できません。");
  y.Cur = p;
  throw EYume(line);
}

}  // namespace yume
