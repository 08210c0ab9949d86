#!/usr/bin/env bash
# Installs what is missing, then configures and builds into ./build (or $ZR_BUILD_DIR): everything, or only the
# targets named in $ZR_BUILD_TARGETS.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
bash "$top/scripts/setup.sh"
# A tree is configured when it is new, when it was made by Make (moved to Ninja once: a build with
# nothing to do then takes a moment instead of a round of moc steps) or when arguments are given; after
# that the build itself configures again whenever a CMake file changes.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$build/CMakeCache.txt"; then
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
if [ ! -f "$build/build.ninja" ] || [ $# -gt 0 ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
# Ninja itself, not through cmake --build, which costs a second more for nothing.
read -ra targets <<<"${ZR_BUILD_TARGETS:-}"
ninja -C "$build" -j"$(nproc)" "${targets[@]}"
