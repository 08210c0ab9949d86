#!/usr/bin/env bash
# Builds the player and starts it with the files given.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/build.sh"
exec "${ZR_BUILD_DIR:-$top/build}/bin/ZRPlayer" "$@"
