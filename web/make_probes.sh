#!/usr/bin/env bash
# Writes probes.js: the tiny pictures the worker decodes on every path when it
# starts, with the colours an independent decoder (Pillow) reads from them.
# Not run by the build: the file is committed. Needs Debian's python3-pil and
# ghostscript's ICC profiles.
set -euo pipefail
cd "$(dirname "$0")"
/usr/bin/python3 - > probes.js <<'PY'
import base64, io
from PIL import Image

def probe(name, image, fmt, comment, **options):
    saved = io.BytesIO()
    image.save(saved, fmt, **options)
    decoded = Image.open(io.BytesIO(saved.getvalue())).convert("RGBA")
    rgba = ",".join(str(value) for pixel in decoded.getdata() for value in pixel)
    print(f"// {comment}")
    print(f"export const {name} = {{")
    print(f'  bytes: Uint8Array.from(atob("{base64.b64encode(saved.getvalue()).decode()}"),')
    print("                         (character) => character.charCodeAt(0)),")
    print(f'  type: "image/{fmt.lower()}",')
    print(f"  rgba: [{rgba}],")
    print("};")

print("// Made by make_probes.sh.")
print()
png = Image.new("RGBA", (4, 1))
png.putdata([(10, 200, 30, 0), (100, 150, 200, 128), (7, 9, 250, 1), (200, 100, 50, 255)])
probe("probePng", png, "PNG",
      "4 x 1: alpha 0 over a colour, two partly transparent pixels, an opaque one.")
profiled = Image.new("RGB", (2, 1))
profiled.putdata([(200, 100, 50), (10, 200, 30)])
with open("/usr/share/color/icc/ghostscript/rommrgb.icc", "rb") as profile:
    probe("probeProfiledPng", profiled, "PNG",
          "2 x 1 with a colour profile far from sRGB (ROMM RGB), to see whether it is applied.",
          icc_profile=profile.read())
jpeg = Image.new("RGB", (16, 16))
jpeg.putdata([((x * 37 + y * 11) % 256, (x * 13 * y) % 256, 255 - (x * y * 5) % 256)
              for y in range(16) for x in range(16)])
probe("probeJpeg", jpeg, "JPEG",
      "16 x 16, 4:2:0, colour changing faster than its chroma can follow.",
      quality=90, subsampling=2)
PY
