#!/usr/bin/env bash
# CPU time (user + system) of the MD5 class against md5sum over the same 1 GiB file, in one run:
# ZR_MD5_RUNS runs of each (5), alternating, the file in the page cache first. Prints a Markdown
# section with medians, min-max and the ratio of the medians. ZR_MD5_MIB changes the size (1024);
# ZR_MD5_CPU pins both to one core (taskset -c).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
if [ ! -x "$build/bin/bench_md5" ]; then
  ZR_BUILD_TARGETS=bench_md5 bash "$top/scripts/build.sh"
fi
runs=${ZR_MD5_RUNS:-5}
mib=${ZR_MD5_MIB:-1024}
pin=()
if [ -n "${ZR_MD5_CPU:-}" ]; then
  pin=(taskset -c "$ZR_MD5_CPU")
fi
work=$(mktemp -d "${ZR_BENCH_TMP:-$build}/md5.XXXXXX")
trap 'rm -rf "$work"' EXIT
data=$work/data.bin
head -c $((mib * 1024 * 1024)) /dev/urandom >"$data"
cat "$data" >/dev/null
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# Appends "cpu wall" in seconds for one run of the command, checking its digest.
measure() {
  local out=$1
  shift
  local TIMEFORMAT='%U %S %R'
  local times
  times=$({ time "${pin[@]}" "$@" "$data" >"$work/digest" 2>/dev/null; } 2>&1)
  if [ "$(cut -d' ' -f1 "$work/digest")" != "$expected" ]; then
    echo "wrong digest from $*" >&2
    exit 1
  fi
  awk '{ printf "%.3f %.3f\n", $1 + $2, $3 }' <<<"$times" >>"$out"
}

expected=$(md5sum "$data" | cut -d' ' -f1)
for _ in $(seq "$runs"); do
  measure "$work/md5sum" md5sum
  measure "$work/ours" "$build/bin/bench_md5"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# "median (min-max)" of one column.
summary() {
  cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { printf "%.3f (%.3f-%.3f)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}
median() {
  cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
cpu_ratio=$(awk -v a="$(median "$work/ours" 1)" -v b="$(median "$work/md5sum" 1)" 'BEGIN { printf "%.2f", a / b }')
wall_ratio=$(awk -v a="$(median "$work/ours" 2)" -v b="$(median "$work/md5sum" 2)" 'BEGIN { printf "%.2f", a / b }')

echo "## MD5 against md5sum"
echo
echo "$(date +%F): $(nproc) cores ($(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)), load average $load_before" \
  "at the start and $load_after at the end; ${pin:+pinned to core $ZR_MD5_CPU; }$mib MiB of random bytes in the page" \
  "cache; $runs runs of each, alternating; median (min-max) in seconds; $(md5sum --version | head -1)."
echo
echo "| Figure | md5sum | MD5 class (bench_md5) | ratio |"
echo "|---|---|---|---|"
echo "| CPU, user + system | $(summary "$work/md5sum" 1) | $(summary "$work/ours" 1) | $cpu_ratio |"
echo "| wall | $(summary "$work/md5sum" 2) | $(summary "$work/ours" 2) | $wall_ratio |"
