#!/usr/bin/env bash
# Runs one command inside a private Wine session and tears the session down
# afterwards, whatever the command did:
#   - a private Xvfb display (picked by Xvfb itself, so parallel runs never clash),
#   - a private WINEPREFIX (created once per build folder, with one virtual
#     desktop "shell" of 800x600 that every program of the prefix opens in);
#     --arch win32 makes it a 32-bit prefix served by the 32-bit loader (the
#     i686 product), --arch win64 (the default) a 64-bit one,
#   - one persistent wineserver for the whole run.
# Only the processes of this prefix and this Xvfb are stopped at the end.
#
#   - --dpi N sets the prefix's display density (LogPixels) when it is made;
#     a prefix is made anew when asked for another density than it has.
#
# usage: wine-session.sh [--arch win32|win64] [--timeout SECONDS] [--display-size WxH] [--dpi N] PREFIX_DIR -- COMMAND...
# The command sees DISPLAY, WINEPREFIX, WINEARCH, WINE (the loader of that
# architecture), WINESERVER,
# and QUELL_X_RELAY, the spool folder of scripts/x-relay.sh, through which
# Windows test programs run xdotool and take screenshots.
set -euo pipefail

timeout_s=1800
screen=1024x768x24
arch=win64
dpi=96
while [[ $# -gt 0 ]]; do
  case "$1" in
    --arch) arch=$2; shift 2 ;;
    --timeout) timeout_s=$2; shift 2 ;;
    --display-size) screen=$2x24; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    --) shift; break ;;
    *) prefix_dir=$1; shift ;;
  esac
done
[[ -n "${prefix_dir:-}" && $# -gt 0 ]] || { echo "usage: $0 [--timeout S] PREFIX_DIR -- COMMAND..." >&2; exit 2; }

case "$arch" in
  win32) export WINE=/usr/lib/wine/wine ;;
  win64) export WINE=/usr/lib/wine/wine64 ;;
  *) echo "wine-session: unknown --arch $arch" >&2; exit 2 ;;
esac
export WINEARCH=$arch
[[ -x $WINE ]] || { echo "wine-session: $WINE is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
# The 64-bit wineserver serves 32-bit and 64-bit prefixes alike.
export WINESERVER=/usr/lib/wine/wineserver64
[[ -x $WINESERVER ]] || WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX
WINEPREFIX=$(realpath -m "$prefix_dir")
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=
relay_pid=
cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  if [[ -n "$relay_pid" ]]; then kill "$relay_pid" 2>/dev/null || true; wait "$relay_pid" 2>/dev/null || true; fi
  "$WINESERVER" -k >/dev/null 2>&1 || true
  # wineserver -k returns before the last process is gone; wait for it briefly.
  for _ in $(seq 50); do pgrep -f "$WINESERVER" -u "$(id -u)" >/dev/null 2>&1 || break
    "$WINESERVER" -k >/dev/null 2>&1 || true; sleep 0.1; done
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ -z "${QUELL_USE_DISPLAY:-}" ]]; then
  fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 "$screen" -nolisten tcp -noreset 9>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 20 display_no <"$fifo" || { echo "wine-session: Xvfb did not start" >&2; rm -f "$fifo"; exit 1; }
  rm -f "$fifo"
  export DISPLAY=":$display_no"
fi

[[ $dpi =~ ^[0-9]+$ ]] || { echo "wine-session: --dpi wants a number" >&2; exit 2; }
# What the prefix was made as: the architecture, and the density when not 96.
kind=$arch
((dpi == 96)) || kind="$arch@${dpi}dpi"
if [[ -f "$WINEPREFIX/.quellane-ready" && "$(cat "$WINEPREFIX/.quellane-ready")" != "$kind" ]]; then
  echo "wine-session: $WINEPREFIX is not a $kind prefix; making it anew" >&2
  rm -rf "$WINEPREFIX"
fi
if [[ ! -f "$WINEPREFIX/.quellane-ready" ]]; then
  mkdir -p "$WINEPREFIX"
  echo "wine-session: creating $WINEPREFIX" >&2
  "$WINE" wineboot -i >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f >/dev/null 2>&1
  if ((dpi != 96)); then
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    "$WINE" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
      /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  fi
  "$WINESERVER" -w
  echo "$kind" >"$WINEPREFIX/.quellane-ready"
fi

"$WINESERVER" -p
export QUELL_X_RELAY="$WINEPREFIX/x-relay"
rm -rf "$QUELL_X_RELAY"
"$(dirname "$0")/x-relay.sh" "$QUELL_X_RELAY" </dev/null >/dev/null 2>&1 &
relay_pid=$!
# Start the desktop and Wine's services now, detached from the caller's
# output: started later by a test, they would inherit its output pipe and
# keep the test runner waiting for an end of file that never comes.
"$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
set +e
timeout --kill-after=10 "$timeout_s" "$@"
rc=$?
set -e
[[ $rc -eq 124 ]] && echo "wine-session: command timed out after ${timeout_s}s" >&2
exit $rc
