// libFuzzer target for the MAG reader (and, for what it decodes, the writer):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//     tests/fuzz/mag_fuzz.cpp gfx/mag.cpp -o /tmp/mag_fuzz
//   /tmp/mag_fuzz -max_total_time=300 /tmp/mag_corpus tests/draw/data/mag
// A crashing input found this way goes into tests/draw/data/mag/, which the draw tests read.
#include <cstdint>
#include <string>

#include "gfx/mag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  yume::mag::TMagImage img;
  std::string error;
  if (!yume::mag::Decode(data, size, img, error)) return 0;
  if (img.Pixels.size() != size_t(img.Width) * img.Height) __builtin_trap();
  std::string out;
  if (yume::mag::Encode(img, out, error)) {
    yume::mag::TMagImage back;
    if (!yume::mag::Decode(reinterpret_cast<const uint8_t*>(out.data()), out.size(), back, error))
      __builtin_trap();
    if (back.Pixels != img.Pixels) __builtin_trap();
  }
  return 0;
}
