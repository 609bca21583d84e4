#!/usr/bin/env bash
# Builds the optimised host tree and runs the benchmarks; they print their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh native
for b in build/native/bin/*_bench; do "$b" "$@"; done
