#!/usr/bin/env bash
# The test command: builds everything and runs every tier. Each tier must run
# at least one test; a tier with no tests, or any failing test, fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh native-asan win32 win64
# Screenshots and other artifacts of the Windows tiers land here.
export QUELL_ARTIFACTS="$PWD/artifacts"
mkdir -p "$QUELL_ARTIFACTS"

tier() { printf '\n==== %s ====\n' "$1"; }

tier "native unit tests (ASan + UBSan)"
ctest --test-dir build/native-asan --output-on-failure --no-tests=error

tier "i686 product: PE header checks"
ctest --test-dir build/win32 --output-on-failure --no-tests=error

tier "Windows tests under Wine (x86_64)"
scripts/wine-session.sh --timeout 900 build/win64/wineprefix -- \
  ctest --test-dir build/win64 --output-on-failure --no-tests=error -LE e2e

tier "end-to-end under Wine (x86_64, X server input)"
scripts/wine-session.sh --timeout 900 build/win64/wineprefix -- \
  ctest --test-dir build/win64 --output-on-failure --no-tests=error -L e2e

tier "installers and zips: make dist, static checks and installs under Wine"
scripts/test-dist.sh

printf '\nall tiers passed\n'
