#!/usr/bin/env bash
# Runs the settings fuzzer for a bounded time from the committed seeds.
# Any crash, hang, leak or sanitizer report makes libFuzzer exit non-zero.
#   run-fuzz.sh FUZZER SEED_DIR WORK_DIR SECONDS
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
# New inputs go to the work folder; the committed seeds are only read.
exec "$fuzzer" "$work/corpus" "$seeds" \
  -max_total_time="$seconds" -seed=1 -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1
