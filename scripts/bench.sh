#!/usr/bin/env bash
# The benchmarks; they print figures and judge nothing.
#   1. the host benchmarks: every *_bench program of the optimised host tree
#      (arguments of this script go to them, e.g. --benchmark_filter=...);
#   2. the hook benchmark under Wine (wine_hook_bench): quellhook.dll beside a
#      pass-through low-level hook and no hook, end to end, first for the i686
#      product under 32-bit Wine, then for the x86_64 build. Its own options
#      come from QUELL_WINE_BENCH_ARGS (e.g. "--rounds 80 --verbose");
#   3. busy_hook_bench under Wine, for each build: the time an event waits
#      in the real program's hooks while the program is busy.
# Only a kernel that refuses 32-bit code leaves the i686 run out, and it says so.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh native
for b in build/native/bin/*_bench; do "$b" "$@"; done

# Only the library and the benchmark of each Windows tree, not its tests.
build_windows_bench() {
  local preset=$1
  [[ -f build/$preset/build.ninja ]] || cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" --target quellhook Quellane wine_hook_bench busy_hook_bench
}

# shellcheck disable=SC2206  # the options are words on purpose
bench_args=(${QUELL_WINE_BENCH_ARGS:-})
run_wine_bench() {
  local arch=$1
  printf '\n==== hook benchmark under Wine (%s) ====\n' "$arch"
  scripts/wine-session.sh --arch "$arch" --timeout 900 "build/$arch/wineprefix" -- \
    bash -c '"$WINE" "$0" "$@"' "build/$arch/bin/wine_hook_bench.exe" "${bench_args[@]}"
  printf '\n==== the hooks while the program is busy (%s) ====\n' "$arch"
  scripts/wine-session.sh --arch "$arch" --timeout 300 "build/$arch/wineprefix" -- \
    bash -c '"$WINE" "$0"' "build/$arch/bin/busy_hook_bench.exe"
}

build_windows_bench win32
build_windows_bench win64
if why=$(scripts/can-run-32bit.sh); then
  run_wine_bench win32
else
  printf '\n!!!! hook benchmark of the i686 product NOT run: %s !!!!\n' "$why"
fi
run_wine_bench win64
