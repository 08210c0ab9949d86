#!/usr/bin/env bash
# Installs what is missing, then configures and builds into ./build (or $ZR_BUILD_DIR): everything, or only the
# targets named in $ZR_BUILD_TARGETS.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
bash "$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
targets=()
for target in ${ZR_BUILD_TARGETS:-}; do
  targets+=(--target "$target")
done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
