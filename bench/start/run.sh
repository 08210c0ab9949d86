#!/usr/bin/env bash
# Time from the run command to the player's window on the screen, with nothing to install or build,
# beside the player's own binary and mpv opening the same clip: bench/start/run.sh [run script] (default:
# scripts/run.sh of this tree; the binary is the one of that script's tree).
# Each start gets a fresh home, so no running instance takes the file over. Prints the median and the
# range of ZR_BENCH_RUNS starts (5) of each, and the run command / mpv.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" bash "$0" "$@"
fi
run=${1:-$top/scripts/run.sh}
binary=${ZR_BUILD_DIR:-$(dirname "$run")/../build}/bin/ZRPlayer
runs=${ZR_BENCH_RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -v error -f lavfi -i testsrc2=size=1280x720:rate=30:duration=10 -f lavfi -i sine=frequency=440:duration=10 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$work/clip.mp4"
# The build brought up to date first, as after an earlier start.
ZR_BUILD_TARGETS=ZRPlayer bash "$(dirname "$run")/build.sh" >/dev/null 2>&1

# Seconds from starting the command until a visible window of the class shows, then the command ends.
measure() {
  local class=$1
  shift
  local home
  home=$(mktemp -d "$work/home.XXXXXX")
  mkdir -p "$home/run" && chmod 700 "$home/run"
  local start end pid
  start=$(date +%s.%N)
  HOME=$home XDG_RUNTIME_DIR=$home/run TMPDIR=$home ZR_AUDIO=null setsid "$@" >/dev/null 2>&1 &
  pid=$!
  xdotool search --sync --onlyvisible --class "$class" >/dev/null
  end=$(date +%s.%N)
  kill -- -"$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$start $end" | awk '{printf "%.3f\n", $2 - $1}'
}

summary() {
  sort -n | awk '{v[NR] = $1} END {printf "%.2f (%.2f-%.2f)", v[int((NR + 1) / 2)], v[1], v[NR]}'
}

ours=() alone=() theirs=()
for _ in $(seq "$runs"); do
  ours+=("$(measure ZRPlayer bash "$run" "$work/clip.mp4")")
  alone+=("$(measure ZRPlayer "$binary" "$work/clip.mp4")")
  theirs+=("$(measure mpv mpv --no-config --ao=null --force-window=immediate "$work/clip.mp4")")
done
o=$(printf '%s\n' "${ours[@]}" | summary)
b=$(printf '%s\n' "${alone[@]}" | summary)
m=$(printf '%s\n' "${theirs[@]}" | summary)
ratio=$(awk -v a="${o%% *}" -v b="${m%% *}" 'BEGIN {printf "%.2f", a / b}')
echo "cores: $(nproc), load: $(cut -d' ' -f1-3 /proc/loadavg), runs: $runs"
echo "start to window (s), median (min-max): run command $o, the binary alone $b, mpv $m; run command / mpv $ratio"
