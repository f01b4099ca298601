#!/usr/bin/env bash
# Regenerates the pictures under tests/data; the committed files are its output.
# HEIC and AVIF come from tools/heif-testdata.cpp through libheif's encoders (x265 for HEIC,
# aom for AVIF); the animated WebP from ImageMagick (with WebP support).
# Needs libheif-dev, g++ and ImageMagick; heif-info (libheif-examples) shows what was written.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -O1 -o "$WORK/heif-testdata" "$ROOT/tools/heif-testdata.cpp" $(pkg-config --cflags --libs libheif)
"$WORK/heif-testdata" "$ROOT/tests/data"

# Two frames: the quadrants (red, green / blue, yellow), then their negative.
convert -size 32x16 xc:red xc:lime +append \( -size 32x16 xc:blue xc:yellow +append \) -append +repage \
    "$WORK/first.png"
convert -delay 10 "$WORK/first.png" \( "$WORK/first.png" -negate \) -loop 0 -strip \
    "$ROOT/tests/data/quadrants-animated.webp"
for f in "$ROOT"/tests/data/*.heic "$ROOT"/tests/data/*.avif; do
    echo "== $(basename "$f") ($(stat -c %s "$f") bytes)"
    command -v heif-info >/dev/null && heif-info "$f" | grep -E "image:|thumbnail|alpha channel|Exif" || true
done
