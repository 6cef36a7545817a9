#!/usr/bin/env bash
# Builds and runs the contact-sheet benchmark: one vertical sheet of 50 JPEGs of 12 megapixels
# against ImageMagick's montage, the DCT-scaled thumbnails' distance from whole decodes, and the
# job's peak memory for 50 and 500 pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || scripts/build
cmake --build build -j2 --target sheets_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/sheets/sheets_bench "$work" "${1:-50}"
