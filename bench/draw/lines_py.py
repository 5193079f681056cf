# lines.ymr in Python with Pillow, as a whole program.
from PIL import Image, ImageDraw
img = Image.new("RGB", (640, 400), "white")
d = ImageDraw.Draw(img)
for i in range(100000):
    c = (i * 12345) % 16777216
    d.line((i * 37 % 640, i * 91 % 400, (i * 53 + 200) % 640, (i * 17 + 100) % 400),
           fill=(c & 255, (c >> 8) & 255, c >> 16), width=2)
print(100000)
