// Evaluation of typical argument texts, as handlers pop them in a loop; then long "&" and "+"
// chains, whose time per term should not grow with their length.
//   build/bench/bench_expr_bench [million evaluations per text]
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/expr.h"
#include "core/hash.h"
#include "core/yumebase.h"

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

void AddVar(yume::TYumeBase& y, const char* name, const char* value, const char* type) {
  auto w = yume::THashNode::MakeVariable(name, false, 0, value);
  w->TypeText = type;
  y.Dict.Add(std::move(w));
}

}  // namespace

int main(int argc, char** argv) {
  const double millions = argc > 1 ? std::strtod(argv[1], nullptr) : 1;
  const long n = static_cast<long>(millions * 1e6);
  yume::TYumeBase y;
  // A dictionary of the usual size, so that lookups are not unrealistically cheap.
  for (int i = 0; i < 1000; ++i)
    AddVar(y, ("変数" + std::to_string(i)).c_str(), std::to_string(i).c_str(), "e");
  AddVar(y, "A", "12", "e");
  AddVar(y, "B", "3.5", "e");
  AddVar(y, "名前", "ゆめ", "s");
  AddVar(y, "表", "1,2,3\r\n4,5,6\r\n7,8,9", "s");
  const char* const kTexts[] = {
      "12345",
      "A",
      "A+B*2",
      "(A+1)*(B-2)/3",
      "A>=10&&B<5",
      "\"こんにちは、{名前}さん\"",
      "名前&\"の\"&A&\"個目\"",
      "表#1#2",
      "未定義の語",
  };
  for (const char* text : kTexts) {
    size_t total = 0;
    const double t0 = Now();
    for (long i = 0; i < n; ++i) total += yume::EvaluateText(y, text).size();
    const double t1 = Now();
    std::printf("%-28s %7.1f ns/eval  (%zu)\n", text, (t1 - t0) * 1e9 / n, total);
  }
  AddVar(y, "S", "ab", "s");
  for (int terms = 2500; terms <= 80000; terms *= 2) {
    std::string cat = "S";
    std::string sum = "0";
    for (int i = 0; i < terms; ++i) {
      cat += "&S";
      sum += "+1";
    }
    double perTerm[2];
    size_t total = 0;
    const std::string* const chains[] = {&cat, &sum};
    for (int k = 0; k < 2; ++k) {
      int rounds = 0;
      const double t0 = Now();
      double t1 = t0;
      while (t1 - t0 < 0.1) {
        total += yume::EvaluateText(y, *chains[k]).size();
        ++rounds;
        t1 = Now();
      }
      perTerm[k] = (t1 - t0) * 1e9 / rounds / terms;
    }
    std::printf("chains of %-6d terms  & %6.1f ns/term  + %6.1f ns/term  (%zu)\n", terms,
                perTerm[0], perTerm[1], total);
  }
  return 0;
}
