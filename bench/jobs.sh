#!/usr/bin/env bash
# Builds and runs the JPEG job benchmark: 20 pictures of 12 megapixels, BMP -> JPEG level 7,
# against a cjpeg loop and mogrify on the same files, and the job's peak memory.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || scripts/build
cmake --build build -j2 --target jobs_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/jobs/jobs_bench "$work" "${1:-20}"
