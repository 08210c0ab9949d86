#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
bash "$top/scripts/build.sh"
cd "$build"
ctest -j"$(nproc)" --output-on-failure --timeout 600
