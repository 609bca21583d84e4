#!/usr/bin/env bash
# Builds Quellane and starts it under Wine in a virtual desktop: on your own
# display when there is one, otherwise on a private virtual display, with a
# screenshot written to a path printed below. Ctrl+C shuts Wine down.
# The 32-bit product runs when this machine can run 32-bit code; otherwise
# the 64-bit build of the same sources does, and the script says so.
set -euo pipefail
cd "$(dirname "$0")/.."
if why=$(scripts/can-run-32bit.sh); then
  arch=win32
  echo "Running the 32-bit product (build/win32) under 32-bit Wine"
else
  arch=win64
  echo "Running the 64-bit build (build/win64): $why"
fi
scripts/build.sh native-asan "$arch" >/dev/null
exe=build/$arch/bin/Quellane.exe
[[ -f $exe ]] || { echo "run: $exe was not built" >&2; exit 1; }

prefix=build/$arch/run-prefix
session=(scripts/wine-session.sh --arch "$arch" --timeout 86400 "$prefix" --)
if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Quellane on $DISPLAY (Ctrl+C to stop)"
  QUELL_USE_DISPLAY=1 exec "${session[@]}" bash -c '"$WINE" "$0"' "$exe"
fi

shot="$PWD/artifacts/run-$(date +%Y%m%d-%H%M%S).png"
mkdir -p artifacts
echo "No display: starting Quellane on a virtual display (Ctrl+C to stop)"
exec "${session[@]}" bash -c '
  "$WINE" "$0" & pid=$!
  sleep 3
  import -window root "$1" && echo "Screenshot: $1"
  wait $pid' "$exe" "$shot"
