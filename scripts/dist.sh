#!/usr/bin/env bash
# make dist: builds the installers and portable zips of both Windows builds
# (win32, the product, and win64) and gathers them in dist/ with SHA256SUMS.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" --target quellane_dist
done
rm -rf dist
mkdir dist
cp build/win32/dist/* build/win64/dist/* dist/
(cd dist && sha256sum -- * >SHA256SUMS)
echo "dist/:"
(cd dist && ls -l -- * | awk '{printf "  %9d  %s\n", $5, $9}')
