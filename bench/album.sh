#!/usr/bin/env bash
# Builds and runs the album benchmark: 20 JPEGs of 12 megapixels made into an album at level 7
# (quality 70), against a djpeg | cjpeg loop and ImageMagick on the same files, with the job's
# peak memory. A work folder given as the first argument keeps the pictures and the album.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || scripts/build
cmake --build build -j2 --target album_bench
if [ $# -gt 0 ]; then
  work=$1
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
build/bench/album/album_bench "$work" "${2:-20}"
