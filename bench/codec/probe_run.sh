#!/usr/bin/env bash
# Probing benchmark: each fixture probed by the codec library against ffprobe on the same media.
# Prints the table and puts it in bench/RESULTS.md under "## Probing".
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
fixtures=$build/fixtures
bash "$top/tests/fixtures/make_fixtures.sh" "$fixtures"
table=$("$build/bin/bench_probe" "$fixtures")
echo "$table"

results=$top/bench/RESULTS.md
[ -f "$results" ] || echo "# Benchmark results" > "$results"
kept=$(awk '/^## /{skip = ($0 == "## Probing")} !skip' "$results")
{
  printf '%s\n\n## Probing\n\n' "$kept"
  echo "Median of 15 runs, $(nproc) cores, $(date -u +%Y-%m-%d). Ratio = our probe / ffprobe -show_streams -show_format (target <= 1.0)."
  echo
  echo "$table"
} > "$results.new"
mv "$results.new" "$results"
