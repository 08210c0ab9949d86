#!/usr/bin/env bash
# Sourced: statistics of the numbers on stdin for the benchmark scripts.
# spread [format]: "median (min-max)" with the printf format given (default %.1f); median: the median alone;
# ratio a b: a / b to two places.
spread() {
  sort -g | awk -v f="${1:-%.1f}" '{ v[NR] = $1 } END { printf f " (" f "-" f ")\n", v[int((NR + 1) / 2)], v[1], v[NR] }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a / b }'; }
