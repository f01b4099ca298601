#!/usr/bin/env bash
# Regenerates the HEIC and AVIF pictures under tests/data with libheif's encoders (x265 for
# HEIC, aom for AVIF), from tools/heif-testdata.cpp. The committed files are its output.
# Needs libheif-dev and g++; heif-info (libheif-examples) shows what was written.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# shellcheck disable=SC2046
g++ -std=c++20 -O1 -o "$WORK/heif-testdata" "$ROOT/tools/heif-testdata.cpp" $(pkg-config --cflags --libs libheif)
"$WORK/heif-testdata" "$ROOT/tests/data"
for f in "$ROOT"/tests/data/*.heic "$ROOT"/tests/data/*.avif; do
    echo "== $(basename "$f") ($(stat -c %s "$f") bytes)"
    command -v heif-info >/dev/null && heif-info "$f" | grep -E "image:|thumbnail|alpha channel|Exif" || true
done
