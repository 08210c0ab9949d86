#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
bash "$top/scripts/build.sh"
cd "$build"
ctest -j"$(nproc)" --output-on-failure --timeout 600

# The tests labelled asan once more, built with AddressSanitizer and UBSan, in parallel as above; their summary
# ends the output.
asan=${ZR_ASAN_BUILD_DIR:-$top/build-asan}
cmake -S "$top" -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_SANITIZE=ON >/dev/null
cmake --build "$asan" --target asan_tests -j"$(nproc)"
cd "$asan"
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest -L asan -j"$(nproc)" --output-on-failure --timeout 900
