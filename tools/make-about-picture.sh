#!/usr/bin/env bash
# Turns res/about.svg into res/about.bmp, the about window's background: a
# 24-bit bottom-up Windows bitmap of 199 x 164 pixels, which the resource
# compiler takes as it is. The .bmp is committed, so only a change of the
# drawing needs this script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/res/about.svg
out=$root/res/about.bmp

if ! command -v rsvg-convert >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends librsvg2-bin >/dev/null
fi
command -v convert >/dev/null || "$root/tools/ensure-deps.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rsvg-convert -w 199 -h 164 "$src" -o "$work/about.png"
# BMP3 is the plain BITMAPINFOHEADER format; no alpha, 24 bits per pixel.
convert "$work/about.png" -background white -alpha remove -type TrueColor "BMP3:$out"

python3 - "$out" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
assert data[:2] == b"BM", "not a bitmap"
size, width, height, planes, bits = struct.unpack_from("<IiiHH", data, 14)
assert (size, width, height, bits) == (40, 199, 164, 24), (size, width, height, bits)
print(f"{sys.argv[1]}: {width}x{height}, {bits} bits per pixel")
PY
