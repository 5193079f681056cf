// Preparation of a large script: one linear pass, then label collection.
//   build/bench/bench_prepare_bench [megabytes]
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/prepare.h"
#include "core/yumebase.h"

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

// A script of ordinary lines: statements, strings, comments, full-width text, labels.
std::string MakeScript(size_t bytes) {
  static const char* const kLines[] = {
      "「こんにちは、世界」と、言う。\r\n",
      "Ａは、１２３＋４５６。' 全角の式\r\n",
      "もし、Ａが５以上ならば、「大きい」を表示。違えば、「小さい」を表示。\r\n",
      "{ 波かっこの注釈 } Ｂは「文字列の中の「かっこ」と全角ＡＢＣ」。\r\n",
      "/* 複数行の\r\n注釈 */ 10回、（回数を表示。）\r\n",
      "@@#ヒアドキュメント\r\nの中身#を表示。// 行末注釈\r\n",
  };
  std::string s;
  s.reserve(bytes + 256);
  size_t i = 0, label = 0;
  while (s.size() < bytes) {
    if (i % 50 == 0) s += "*ラベル" + std::to_string(label++) + "\r\n";
    s += kLines[i % (sizeof kLines / sizeof kLines[0])];
    ++i;
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  size_t mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10;
  std::string script = MakeScript(mb * 1024 * 1024);
  for (int round = 0; round < 3; ++round) {
    yume::TYumeBase y;
    y.Source = script;
    double t0 = Now();
    yume::PrepareSource(y, y.Source);
    double t1 = Now();
    yume::CollectLabels(y, y.Source, "bench.ymr");
    double t2 = Now();
    std::printf("prepare %zu MB: %.1f ms (%.0f MB/s), labels: %.1f ms (%d labels)\n", mb,
                (t1 - t0) * 1e3, mb / (t1 - t0), (t2 - t1) * 1e3, y.Dict.Count());
  }
  return 0;
}
