#!/usr/bin/env bash
# Fuzzes a reader for a bounded time on a fresh copy of its seed corpus.
# usage: fuzz/run.sh FUZZER SEED_DIR WORK_DIR SECONDS [DICT]   (DICT: fuzz/plist.dict by default)
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
dict=${5:-$(dirname "$0")/plist.dict}
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp "$seeds"/* "$work/corpus/"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -dict="$dict" -artifact_prefix="$work/artifacts/" "$work/corpus"
