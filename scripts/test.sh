#!/usr/bin/env bash
# The test command: builds everything and runs every tier. Each tier must run
# at least one test; a tier with no tests, or any failing test, fails the run.
# The i686 product's Windows tiers run under 32-bit Wine, then the x86_64
# build's under 64-bit Wine, one after the other. Only a machine whose kernel
# refuses 32-bit code may leave the 32-bit tiers out, and it says so loudly
# here and in the summary; no other tier ever skips.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
scripts/build.sh native-asan win32 win64
# Screenshots and other artifacts of the Windows tiers land here, one folder per build.
mkdir -p artifacts

summary=()
print_summary() {
  local rc=$?
  printf '\n==== summary ====\n'
  printf '%s\n' "${summary[@]}"
  if ((rc == 0)); then printf 'all tiers that ran passed in %d s\n' $((SECONDS - started))
  else printf 'FAILED (exit %d) after %d s\n' "$rc" $((SECONDS - started)); fi
}
trap print_summary EXIT
tier() { printf '\n==== %s ====\n' "$1"; }
# ctest with a count of what ran: "name: N programs, M cases" goes into the
# summary (each GoogleTest program writes an XML report of its cases).
run_ctest() {
  local name=$1; shift
  local log reports; log=$(mktemp); reports=$(mktemp -d)
  # Windows test programs see the Unix root as drive Z:.
  local report_path=$reports/
  [[ $1 == scripts/wine-session.sh ]] && report_path=Z:$reports/
  set +e
  GTEST_OUTPUT="xml:$report_path" "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  local programs cases
  programs=$(grep -Eo 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -1)
  cases=$(cat "$reports"/*.xml 2>/dev/null | grep -o '<testcase [^>]*' | grep -vc 'result="skipped"' || true)
  rm -rf "$log" "$reports"
  summary+=("$name: ${programs:-?} programs, ${cases:-0} cases")
  return "$rc"
}

tier "format check (.clang-format)"
if scripts/check-format.sh; then summary+=("format: every C and C++ file formatted")
else summary+=("format: files not formatted"); exit 1; fi

tier "native unit tests (ASan + UBSan)"
run_ctest "native" ctest --test-dir build/native-asan --output-on-failure --no-tests=error

tier "PE header checks (i686 product and x86_64 build)"
run_ctest "PE headers i686" ctest --test-dir build/win32 --output-on-failure --no-tests=error -L pe
run_ctest "PE headers x86_64" ctest --test-dir build/win64 --output-on-failure --no-tests=error -L pe

# wine_tiers ARCH: the Windows tests, then the end-to-end tests, of one build.
wine_tiers() {
  local arch=$1 label=$2
  # The x86_64 build's screenshots in artifacts/, the i686 product's in artifacts/win32/.
  export QUELL_ARTIFACTS="$PWD/artifacts"
  [[ $arch == win32 ]] && QUELL_ARTIFACTS+=/win32
  mkdir -p "$QUELL_ARTIFACTS"
  tier "Windows tests under Wine ($label)"
  run_ctest "Windows tests $label" scripts/wine-session.sh --arch "$arch" --timeout 900 "build/$arch/wineprefix" -- \
    ctest --test-dir "build/$arch" --output-on-failure --no-tests=error -LE 'e2e|pe|dpi144'
  tier "end-to-end under Wine ($label, X server input)"
  run_ctest "end-to-end $label" scripts/wine-session.sh --arch "$arch" --timeout 900 "build/$arch/wineprefix" -- \
    ctest --test-dir "build/$arch" --output-on-failure --no-tests=error -L e2e -LE dpi144
  # The same build on a display of 144 DPI, in a prefix of its own; its
  # screenshots go to dpi144/ beside the others.
  tier "high DPI under Wine ($label, 144 DPI)"
  QUELL_ARTIFACTS+=/dpi144
  mkdir -p "$QUELL_ARTIFACTS"
  run_ctest "high DPI $label" scripts/wine-session.sh --arch "$arch" --dpi 144 --timeout 900 \
    "build/$arch/wineprefix-dpi144" -- \
    ctest --test-dir "build/$arch" --output-on-failure --no-tests=error -L dpi144
}

if why=$(scripts/can-run-32bit.sh); then
  wine_tiers win32 "i686 product, 32-bit Wine"
else
  loud="32-bit tiers not run: this kernel refuses 32-bit code"
  [[ $why == "this kernel refuses 32-bit code" ]] || loud="32-bit tiers not run: $why"
  printf '\n!!!! %s !!!!\n' "$loud"
  printf '!!!! the i686 product was built and its headers checked, but NOT tested under Wine !!!!\n'
  summary+=("!!!! $loud")
  # Only a kernel that refuses 32-bit code may leave them out; a missing
  # 32-bit Wine is a broken set-up, not a reason to skip.
  [[ $why == "this kernel refuses 32-bit code" ]] || exit 1
fi
wine_tiers win64 "x86_64 build, 64-bit Wine"

tier "installers and zips: make dist, static checks and installs under Wine"
dist_log=$(mktemp)
set +e
scripts/test-dist.sh 2>&1 | tee "$dist_log"
dist_rc=${PIPESTATUS[0]}
set -e
summary+=("packages: $(grep -Eo 'dist: [0-9]+ passed.*' "$dist_log" | tail -1)")
rm -f "$dist_log"
((dist_rc == 0))
