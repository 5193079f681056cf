// Wildcard matching with several "*" on long texts. Trying every split of the stars afresh
// would grow with a power of the length as high as the number of stars; with the record of
// splits known to fail, a match that fails grows with the square of the length and one that
// succeeds about in proportion. Each size doubles the text, so the growth shows at a glance.
//   build/bench/bench_wildcard_bench [longest text in characters, 20000 if not given]
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "table/wildcard.h"

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  const long longest = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
  struct Case {
    const char* pattern;
    const char* tail;  // appended to the run of "x"
  };
  // A failing match (every split is tried), a match found at the very end, and a pattern of
  // many stars.
  const Case kCases[] = {
      {"*x*x*x*x*x*y", ""},
      {"*x*x*x*x*x*y", "y"},
      {"*x*a*b*c", "abc"},
      {"*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*x*y", ""},
  };
  for (const Case& c : kCases) {
    for (long n = 1250; n <= longest; n *= 2) {
      const std::string text = std::string(static_cast<size_t>(n), 'x') + c.tail;
      int rounds = 0;
      bool matched = false;
      const double t0 = Now();
      double t1 = t0;
      // At least a tenth of a second per size, so that short runs are not all noise.
      while (t1 - t0 < 0.1) {
        matched = yume::WildMatch(text, c.pattern);
        ++rounds;
        t1 = Now();
      }
      std::printf("%-44s x%-6ld%-4s %10.1f us/match  (%s)\n", c.pattern, n, c.tail,
                  (t1 - t0) * 1e6 / rounds, matched ? "match" : "no match");
    }
  }
  return 0;
}
