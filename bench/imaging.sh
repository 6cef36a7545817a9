#!/usr/bin/env bash
# Builds and runs the picture benchmark: the model against cjpeg, djpeg and ImageMagick on
# generated 12-megapixel pictures. Needs libjpeg-turbo-progs (and imagemagick for one row).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || scripts/build
cmake --build build -j2 --target imaging_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/imaging/imaging_bench "$work"
