#!/usr/bin/env bash
# Builds the project and runs every benchmark. ZR_BENCH_QUICK=1 makes the codec comparison short and
# ZR_BENCH_UPDATE=1 puts its tables into bench/RESULTS.md (see bench/codec/compare_run.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
export ZR_BUILD_DIR=${ZR_BUILD_DIR:-$top/build} ZR_AUDIO=${ZR_AUDIO:-null}
echo "cores: $(nproc)"
for script in "$top"/bench/*/run.sh; do
  [ -f "$script" ] && bash "$script"
done
