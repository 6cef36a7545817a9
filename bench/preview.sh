#!/usr/bin/env bash
# Builds and runs the preview benchmark: one preview run on a 12-megapixel JPEG against djpeg,
# cjpeg -quality 70 and djpeg on the same picture, and a tuning key held for two seconds.
# Needs libjpeg-turbo-progs.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || scripts/build
cmake --build build -j2 --target preview_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/preview/preview_bench "$work"
