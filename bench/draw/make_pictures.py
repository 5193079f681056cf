# The 4000 x 3000 test pictures: smooth gradients with fine noise, like a photograph.
import sys, os
from PIL import Image
out = sys.argv[1]
w, h = 4000, 3000
grad = Image.linear_gradient("L").resize((w, h))
noise = Image.effect_noise((w, h), 40)
img = Image.merge("RGB", (grad, noise, grad.rotate(90, expand=False).resize((w, h))))
img.save(os.path.join(out, "big.png"), compress_level=6)
img.save(os.path.join(out, "big.jpg"), quality=90)
