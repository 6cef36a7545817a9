#!/usr/bin/env bash
# Builds and runs the scale benchmark: the JPEG job writing 2,000 small pictures into a folder
# that already holds 20,000 files against the same into an empty folder, and the peak memory
# of a job over six decompression bombs.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || scripts/build
cmake --build build -j2 --target scale_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/scale/scale_bench "$work" "${1:-2000}" "${2:-20000}"
