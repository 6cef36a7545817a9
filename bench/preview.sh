#!/usr/bin/env bash
# Builds and runs the preview benchmark on the program's window (offscreen): a change of one
# tuning value and the first preview of a newly selected 12-megapixel JPEG against djpeg,
# cjpeg -quality 70 and djpeg on the same picture, the window thread's longest busy stretch, and
# a tuning key held down. Needs libjpeg-turbo-progs.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || scripts/build
cmake --build build -j2 --target preview_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} build/bench/preview/preview_bench "$work" "${1:-7}"
