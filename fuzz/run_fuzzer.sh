#!/usr/bin/env bash
# Usage: run_fuzzer.sh FUZZER SEED_DIR WORK_DIR SECONDS
# Runs a fuzzer for SECONDS over the seeds; new inputs go to WORK_DIR, never
# into the committed seeds.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
mkdir -p "$work"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$work" "$seeds"
