#!/usr/bin/env bash
# Builds what the player needs, quietly, and starts it with the files given. The build's output is shown only
# when the build fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
log=$(mktemp)
if ! ZR_BUILD_TARGETS=ZRPlayer bash "$top/scripts/build.sh" >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "run: the build failed" >&2
  exit 1
fi
rm -f "$log"
exec "$build/bin/ZRPlayer" "$@"
