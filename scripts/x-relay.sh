#!/usr/bin/env bash
# Runs X-side commands for Windows test programs under Wine. Wine can start
# a Unix program but cannot wait for it, so a test writes the command line
# into SPOOL/<n>.cmd and waits for SPOOL/<n>.done, which appears once the
# command has finished. Allowed programs: xdotool (real input through the X
# server) and import (screenshots). Arguments are split at blanks.
#   usage: x-relay.sh SPOOL_DIR
set -u
spool=$1
mkdir -p "$spool"
shopt -s nullglob
while :; do
  for request in "$spool"/*.cmd; do
    read -r -a words <"$request" || true
    rm -f "$request"
    status=1
    case "${words[0]:-}" in
      xdotool|import) "${words[@]}" >"${request%.cmd}.out" 2>&1; status=$? ;;
      *) echo "x-relay: refused: ${words[*]:-}" >"${request%.cmd}.out" ;;
    esac
    echo "$status" >"${request%.cmd}.done"
  done
  sleep 0.02
done
