# rects.ymr in Python with Pillow, as a whole program.
from PIL import Image, ImageDraw
img = Image.new("RGB", (640, 400), "white")
d = ImageDraw.Draw(img)
for i in range(10000):
    c = (i * 54321) % 16777216
    x, y = i * 37 % 560, i * 91 % 320
    d.rectangle((x, y, x + 79, y + 79), fill=(c & 255, (c >> 8) & 255, c >> 16), outline=(0, 0, 0))
print(10000)
