#!/usr/bin/env bash
# Builds Quellane and starts it under Wine in a virtual desktop: on your own
# display when there is one, otherwise on a private virtual display, with a
# screenshot written to a path printed below. Ctrl+C shuts Wine down.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh native-asan win64 >/dev/null
exe=build/win64/bin/Quellane.exe
[[ -f $exe ]] || { echo "run: $exe was not built" >&2; exit 1; }

prefix=build/win64/run-prefix
if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Quellane on $DISPLAY (Ctrl+C to stop)"
  QUELL_USE_DISPLAY=1 exec scripts/wine-session.sh --timeout 86400 "$prefix" -- \
    bash -c '"$WINE" "$0"' "$exe"
fi

shot="$PWD/artifacts/run-$(date +%Y%m%d-%H%M%S).png"
mkdir -p artifacts
echo "No display: starting Quellane on a virtual display (Ctrl+C to stop)"
exec scripts/wine-session.sh --timeout 86400 "$prefix" -- bash -c '
  "$WINE" "$0" & pid=$!
  sleep 3
  import -window root "$1" && echo "Screenshot: $1"
  wait $pid' "$exe" "$shot"
