#!/usr/bin/env bash
# The player's GUI binary beside `mpv --vo=gpu --gpu-sw=yes --ao=null` in one Xvfb, both windows 1085x644:
# a 1080p30 H.264 clip and a 4K HEVC 10-bit clip of 20 s each, played to the end, on all cores and on two
# (taskset -c 0,1). Per run: start to first picture (the screen polled until the middle of the window shows
# the colourful test picture), CPU seconds and peak resident memory of the process, and the pictures each
# reports. ZR_BENCH_RUNS runs (5), interleaved, medians and min-max. ZR_BENCH_DISPLAY picks the X display
# (:57), ZR_BENCH_CORES the core sets ("all 0,1").
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
runs=${ZR_BENCH_RUNS:-5}
display=${ZR_BENCH_DISPLAY:-:57}
read -ra core_sets <<<"${ZR_BENCH_CORES:-all 0,1}"
duration=20
cache=${ZR_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zr-bench}
if [ ! -x "$build/bin/ZRPlayer" ] || [ ! -x "$build/bin/bench_firstpicture" ]; then
  ZR_BUILD_TARGETS="ZRPlayer bench_firstpicture" bash "$top/scripts/build.sh" >/dev/null
fi
work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The clips, made once and kept in the cache.
clip() {
  local file=$cache/program-$1-${duration}s.mp4 video
  local sine="-f lavfi -i sine=frequency=1000:sample_rate=48000:duration=$duration -c:a aac -b:a 128k"
  case $1 in
    h264) video="-f lavfi -i testsrc2=size=1920x1080:rate=30:duration=$duration -c:v libx264 -profile:v high -preset veryfast
                 -g 60 -pix_fmt yuv420p" ;;
    hevc10) video="-f lavfi -i testsrc2=size=3840x2160:rate=30:duration=$duration -c:v libx265 -preset ultrafast
                   -x265-params keyint=60:log-level=error -pix_fmt yuv420p10le -tag:v hvc1" ;;
  esac
  if [ ! -f "$file" ]; then
    mkdir -p "$cache"
    # shellcheck disable=SC2086
    ffmpeg -nostdin -v error -y $video $sine -shortest "$file.part.mp4" && mv "$file.part.mp4" "$file"
  fi
  echo "$file"
}

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp -br >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done

# One run: prints "first cpu rss_mb shown dropped"; a count the program did not report (it was ended before the
# end of the clip) is "-", and a run that showed no picture prints nothing.
measure() {
  local program=$1 cores=$2 file=$3 log=$work/log pin=()
  [ "$cores" = all ] || pin=(taskset -c "$cores")
  if [ "$program" = ours ]; then
    local home
    home=$(mktemp -d "$work/home.XXXXXX")
    mkdir -p "$home/run" && chmod 700 "$home/run"
    HOME=$home XDG_RUNTIME_DIR=$home/run TMPDIR=$home ZR_AUDIO=null QT_LOGGING_RULES=zrplayer.info=true \
      "$build/bin/bench_firstpicture" ZRPlayer $((duration + 1)) "${pin[@]}" "$build/bin/ZRPlayer" "$file" \
      >"$log" 2>&1 || true
    rm -rf "$home"
  else
    "$build/bin/bench_firstpicture" mpv $((duration + 1)) "${pin[@]}" mpv --no-config --vo=gpu --gpu-sw=yes \
      --ao=null --force-window=immediate --geometry=1085x644 --script="$here/counts.lua" "$file" >"$log" 2>&1 || true
  fi
  grep -q '^first_picture [0-9]' "$log" || tail -5 "$log" >&2
  awk '
    /^first_picture / { first = $2 }
    /^cpu / { cpu = $2 }
    /^maxrss_kb / { rss = $2 / 1024 }
    /pictures shown / { sub(/^.*pictures shown/, "pictures shown"); gsub(/[,;]/, ""); shown = $NF; dropped = $7 }
    /mpv pictures / { s = $0; sub(/.*mpv pictures /, "", s); gsub(/[^0-9 ]/, "", s); split(s, f, " +")
                      shown = f[1]; dropped = f[2] + f[3] }
    END {
      if (first == "" || first == "none") { print "run without a picture" > "/dev/stderr"; exit }
      printf "%s %s %.1f %s %s\n", first, cpu, rss, (shown == "" ? "-" : shown), (dropped == "" ? "-" : dropped)
    }
  ' "$log"
}

# Median (min-max) of column n of the lines on stdin.
summary() {
  awk -v n="$1" '{ print $n }' | sort -g |
    awk '{ v[NR] = $1 } END { printf "%s (%s-%s)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}
median() {
  awk -v n="$1" '{ print $n }' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

echo "## Whole program beside mpv"
echo "cores: $(nproc), load before: $(cut -d' ' -f1-3 /proc/loadavg), runs: $runs, renderer: llvmpipe under Xvfb"
echo
echo "Medians (min-max); shown and dropped: medians of the pictures each program reports at the end of the clip"
echo "(ours: drawn by the video pane, and refused by it or dropped late by the library; mpv: its estimated frame"
echo "number, and the frames its output and decoder dropped); '-' when the clip had not ended when the run did."
echo
echo "| clip | cores | program | first picture (s) | CPU (s) | peak RSS (MB) | shown | dropped |"
echo "|---|---|---|---|---|---|---|---|"
for cores in "${core_sets[@]}"; do
  for kind in h264 hevc10; do
    file=$(clip "$kind")
    : >"$work/ours" && : >"$work/mpv"
    for _ in $(seq "$runs"); do
      measure ours "$cores" "$file" >>"$work/ours"
      measure mpv "$cores" "$file" >>"$work/mpv"
    done
    for program in ours mpv; do
      name=$program
      [ "$program" = ours ] && name=ZRPlayer
      printf '| %s | %s | %s (%s runs) | %s | %s | %s | %s | %s |\n' "$kind" "$cores" "$name" "$(wc -l <"$work/$program")" \
        "$(summary 1 <"$work/$program")" \
        "$(summary 2 <"$work/$program")" "$(summary 3 <"$work/$program")" "$(median 4 <"$work/$program")" \
        "$(median 5 <"$work/$program")"
    done
    printf '| %s | %s | ZRPlayer / mpv | %s | %s | %s | | |\n' "$kind" "$cores" \
      "$(ratio "$(median 1 <"$work/ours")" "$(median 1 <"$work/mpv")")" \
      "$(ratio "$(median 2 <"$work/ours")" "$(median 2 <"$work/mpv")")" \
      "$(ratio "$(median 3 <"$work/ours")" "$(median 3 <"$work/mpv")")"
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
