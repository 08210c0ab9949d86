#!/usr/bin/env bash
# Builds the project and runs every benchmark; each prints ratios against the ffmpeg tools on the same file.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
export ZR_BUILD_DIR=${ZR_BUILD_DIR:-$top/build} ZR_AUDIO=${ZR_AUDIO:-null}
echo "cores: $(nproc)"
for script in "$top"/bench/*/run.sh; do
  [ -f "$script" ] && bash "$script"
done
