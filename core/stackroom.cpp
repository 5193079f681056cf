#include "core/stackroom.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace yume {

namespace {
uintptr_t g_low = 0;  // deepest address a check lets the stack reach
}

void MarkStackTop() {
  char here = 0;
  size_t size = size_t{8} << 20;
  rlimit rl{};
  if (getrlimit(RLIMIT_STACK, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY) {
    size = static_cast<size_t>(rl.rlim_cur);
  }
  size = std::min(size, size_t{1} << 30);
  const size_t margin = std::max(size / 4, size_t{256} << 10);
  const auto top = reinterpret_cast<uintptr_t>(&here);
  g_low = size > margin && top > size - margin ? top - (size - margin) : top;
}

bool StackNearlyFull() {
  char here = 0;
  if (g_low == 0) MarkStackTop();
  return reinterpret_cast<uintptr_t>(&here) < g_low;
}

}  // namespace yume
