#!/usr/bin/env bash
# Turns res/icon.svg into res/klikvane.ico: one 32-bit image with alpha for
# each size Windows asks for, each rendered from the drawing at its own size
# (sharper than scaling one bitmap down). The .ico is committed, so only a
# change of the drawing needs this script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/res/icon.svg
out=$root/res/klikvane.ico
sizes=(128 96 72 64 48 32 24 16)

# ImageMagick on Debian hands SVG to rsvg-convert; render with it directly.
if ! command -v rsvg-convert >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends librsvg2-bin >/dev/null
fi
command -v convert >/dev/null || "$root/tools/ensure-deps.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pngs=()
for size in "${sizes[@]}"; do
    rsvg-convert -w "$size" -h "$size" "$src" -o "$work/$size.png"
    pngs+=("$work/$size.png")
done
# Forcing TrueColorAlpha keeps every entry at 32 bits per pixel, even a size
# whose pixels would fit a palette.
convert "${pngs[@]}" -type TrueColorAlpha -define colorspace:auto-grayscale=false "$out"

# Check the result: every size present, each entry 32 bits per pixel.
python3 - "$out" "${sizes[@]}" <<'EOF'
import struct, sys
path, want = sys.argv[1], sorted(int(s) for s in sys.argv[2:])
data = open(path, "rb").read()
reserved, kind, count = struct.unpack_from("<HHH", data, 0)
assert reserved == 0 and kind == 1, "not an icon file"
got = []
for i in range(count):
    w, h, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
    w, h = w or 256, h or 256
    if data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n":
        bits = 32 if data[offset + 25] == 6 else 0  # PNG colour type 6 = RGBA
    else:
        bits = struct.unpack_from("<H", data, offset + 14)[0]  # BITMAPINFOHEADER.biBitCount
    assert w == h and bits == 32, f"entry {i}: {w}x{h}, {bits} bits per pixel"
    got.append(w)
assert sorted(got) == want, f"sizes {sorted(got)}, wanted {want}"
print(f"{path}: {len(got)} images, {', '.join(map(str, got))} px, 32 bits per pixel")
EOF
