// The drawing engine's own work, without the interpreter: lines and filled rectangles on a
// 640 x 400 surface, and a 4000 x 3000 picture loaded and saved as PNG and JPEG. Prints one
// "name milliseconds" line per task (best of three); bench/draw_bench.sh runs it beside Pillow.
//   bench_draw <picture.png> <picture.jpg> <output folder>
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "gfx/drawengine.h"

namespace {

double BestOf3(const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < 3; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    work();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s picture.png picture.jpg outdir\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  yume::TDrawEngine d;
  const int surface = 1;
  const std::string out = argv[3];

  std::printf("lines %.0f\n", BestOf3([&] {
                d.CreateSurface(surface, 640, 400, 0xFFFFFF);
                yume::TPenBrush pb;
                pb.PenWidth = 2;
                for (int i = 0; i < 100000; ++i) {
                  pb.PenColor = uint32_t(i * 12345) & 0xFFFFFF;
                  d.DrawShape(
                      surface, yume::TShape::Line,
                      {i * 37 % 640, i * 91 % 400, (i * 53 + 200) % 640, (i * 17 + 100) % 400}, pb);
                }
                uint32_t c;
                d.GetPixel(surface, 0, 0, c);
              }));
  std::printf("rects %.0f\n", BestOf3([&] {
                d.CreateSurface(surface, 640, 400, 0xFFFFFF);
                yume::TPenBrush pb;
                pb.PenWidth = 1;
                for (int i = 0; i < 10000; ++i) {
                  pb.PenColor = 0;
                  pb.BrushColor = uint32_t(i * 54321) & 0xFFFFFF;
                  const int x = i * 37 % 560, y = i * 91 % 320;
                  d.DrawShape(surface, yume::TShape::Rectangle, {x, y, x + 80, y + 80}, pb);
                }
                uint32_t c;
                d.GetPixel(surface, 0, 0, c);
              }));
  struct TFormat {
    const char* name;
    const char* file;
    const char* ext;
  };
  for (const TFormat& f : {TFormat{"png", argv[1], "png"}, TFormat{"jpeg", argv[2], "jpg"}}) {
    yume::TPictureSource src;
    src.File = f.file;
    src.Ext = f.ext;
    std::printf("%s_load %.0f\n", f.name, BestOf3([&] {
                  if (d.LoadIntoSurface(src, 2) != yume::TDrawStatus::Ok) std::abort();
                }));
    std::printf("%s_save %.0f\n", f.name, BestOf3([&] {
                  if (d.SavePicture(2, out + "/saved." + f.ext, f.ext, 90) != yume::TDrawStatus::Ok)
                    std::abort();
                }));
  }
  return 0;
}
