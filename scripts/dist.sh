#!/usr/bin/env bash
# make dist: builds the installers and portable zips of both Windows builds
# (win32, the product, and win64) and gathers them in dist/ with SHA256SUMS,
# and writes the winget manifests of the MSIs and the Scoop manifest of the
# win32 zip beside them.
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
# The winget and Scoop manifests (dist/winget/, dist/scoop/) describe the
# files just gathered; the facts are the product build's (win32).
facts=()
while IFS= read -r line; do facts+=("$line"); done < <(
  # shellcheck source=/dev/null
  source build/win32/dist-facts.sh
  for key in QUELL_PRODUCT QUELL_VERSION QUELL_PUBLISHER QUELL_HOME_PAGE QUELL_RELEASE_URL \
    QUELL_SUMMARY QUELL_LICENSE QUELL_WINGET_ID; do printf '%s=%s\n' "$key" "${!key}"; done)
packaging/package-manifests.py dist "${facts[@]}"
(cd dist && sha256sum -- *.zip *.msi >SHA256SUMS)
echo "dist/:"
(cd dist && find . -type f -printf '%P\t%s\n' | sort | awk -F'\t' '{printf "  %9d  %s\n", $2, $1}')
