# The same work as bench_draw, in Python with Pillow: prints "name milliseconds" (best of three).
#   python3 pillow_bench.py picture.png picture.jpg outdir
import sys, time
from PIL import Image, ImageDraw

def best_of_3(work):
    best = None
    for _ in range(3):
        t0 = time.perf_counter()
        work()
        t = (time.perf_counter() - t0) * 1000
        best = t if best is None or t < best else best
    return best

def lines():
    img = Image.new("RGB", (640, 400), "white")
    d = ImageDraw.Draw(img)
    for i in range(100000):
        c = (i * 12345) & 0xFFFFFF
        d.line((i * 37 % 640, i * 91 % 400, (i * 53 + 200) % 640, (i * 17 + 100) % 400),
               fill=(c & 255, (c >> 8) & 255, c >> 16), width=2)
    img.getpixel((0, 0))

def rects():
    img = Image.new("RGB", (640, 400), "white")
    d = ImageDraw.Draw(img)
    for i in range(10000):
        c = (i * 54321) & 0xFFFFFF
        x, y = i * 37 % 560, i * 91 % 320
        d.rectangle((x, y, x + 79, y + 79), fill=(c & 255, (c >> 8) & 255, c >> 16),
                    outline=(0, 0, 0))
    img.getpixel((0, 0))

png, jpg, out = sys.argv[1:4]
print("lines %.0f" % best_of_3(lines))
print("rects %.0f" % best_of_3(rects))
for name, path, ext in (("png", png, "png"), ("jpeg", jpg, "jpg")):
    holder = {}
    def load():
        im = Image.open(path)
        im.load()
        holder["im"] = im
    print("%s_load %.0f" % (name, best_of_3(load)))
    if ext == "png":
        save = lambda: holder["im"].save(out + "/saved_py.png", compress_level=6)
    else:
        save = lambda: holder["im"].save(out + "/saved_py.jpg", quality=90)
    print("%s_save %.0f" % (name, best_of_3(save)))
