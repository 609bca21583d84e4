#!/usr/bin/env bash
# Configures and builds the given presets (default: all four).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
presets=("$@")
((${#presets[@]})) || presets=(native-asan native win32 win64)
for p in "${presets[@]}"; do
  extra=()
  # Both Windows trees get the native PE reader for their header checks.
  [[ $p == win* ]] && extra=(-DQUELL_PECHECK="$PWD/build/native-asan/bin/pecheck")
  cmake --preset "$p" "${extra[@]}" >/dev/null
  cmake --build --preset "$p"
done
