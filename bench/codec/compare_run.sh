#!/usr/bin/env bash
# Like-for-like codec benchmarks on 10 s files of each kind, on all cores and on two (taskset -c 0,1):
# - in process: our library against libavformat/libavcodec used directly, same file, same state (bench_floor);
# - the ffmpeg tools by their own timing (-benchmark rtime; ffprobe less its start-up), and whole processes,
#   spawn to exit, beside a small process of ours doing the same job;
# - real-time playback against ffmpeg -re: CPU time, peak memory, and every shown picture identified against
#   a reference decode (bench_playback).
# Usage: compare_run.sh [--quick] [--update]
#   --quick (or ZR_BENCH_QUICK=1): H.264 and MP3 only, 2 cores only, 3 runs.
#   --update (or ZR_BENCH_UPDATE=1): also put the tables into bench/RESULTS.md.
# The results go to $ZR_BENCH_OUT (default /tmp/zr-bench-<date>.md). ZR_BENCH_RUNS overrides the run count,
# ZR_BENCH_CORES the core sets (taskset lists, e.g. "0,1"), ZR_BENCH_FILES the file kinds (see media.sh).
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
quick=${ZR_BENCH_QUICK:-0}
update=${ZR_BENCH_UPDATE:-0}
for arg in "$@"; do
  case $arg in
    --quick) quick=1 ;;
    --update) update=1 ;;
    *) echo "usage: $0 [--quick] [--update]" >&2; exit 2 ;;
  esac
done
for program in bench_floor bench_signatures bench_playback; do
  if [ ! -x "$build/bin/$program" ]; then
    bash "$top/scripts/build.sh"
    break
  fi
done
export ZR_AUDIO=${ZR_AUDIO:-null}
all="0-$(($(nproc) - 1))"
if [ "$quick" = 1 ]; then
  runs=3 kinds="h264 mp3" settings="0,1"
else
  runs=5 kinds="h264 hevc10 vp9 av1 ass flac mp3" settings="$all 0,1"
fi
runs=${ZR_BENCH_RUNS:-$runs}
settings=${ZR_BENCH_CORES:-$settings}
kinds=${ZR_BENCH_FILES:-$kinds}
out=${ZR_BENCH_OUT:-/tmp/zr-bench-$(date -u +%Y%m%d-%H%M%S).md}
work=$(mktemp -d)
trap 'taskset -pc "$all" $$ >/dev/null; rm -rf "$work"' EXIT
# shellcheck source=bench/codec/media.sh
source "$here/media.sh"

declare -A describe=(
  [h264]="1080p30 H.264 high + AAC (MP4)"
  [hevc10]="2160p30 HEVC 10-bit + AAC (MP4)"
  [vp9]="1080p30 VP9 + Opus (WebM)"
  [av1]="1080p30 AV1 + AAC (MP4)"
  [ass]="1080p30 H.264 + AAC + ASS track shown (MKV)"
  [flac]="FLAC 44.1 kHz"
  [mp3]="MP3 44.1 kHz"
)
has_video() { [ "$1" != flac ] && [ "$1" != mp3 ]; }
# The frame callback takes 8-bit pictures: on 10-bit files the tool is also measured converting to them.
ten_bit() { [ "$1" = hevc10 ]; }
label() { if [ "$1" = "$all" ]; then echo "$(nproc) cores"; else echo "2 cores"; fi; }

declare -A file
for kind in $kinds; do
  file[$kind]=$(bench_media "$kind")
  # The reference signatures are kept beside the file, made again when the program that makes them is newer.
  if has_video "$kind" && [ ! "${file[$kind]}.sig" -nt "$build/bin/bench_signatures" ]; then
    "$build/bin/bench_signatures" "${file[$kind]}" "${file[$kind]}.sig.part"
    mv "${file[$kind]}.sig.part" "${file[$kind]}.sig"
  fi
done

# shellcheck source=bench/codec/stats.sh
source "$here/stats.sh"
# Milliseconds of a whole process, spawn to exit.
whole() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'
}
# The ffmpeg tool's own wall time (-benchmark rtime) in milliseconds: from after its inputs are opened, probed
# and (with -ss) seeked, to the end.
rtime() {
  ffmpeg -nostdin -hide_banner -nostats -benchmark "$@" -f null - 2>&1 |
    sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p' | awk '{ printf "%.1f\n", $1 * 1000 }'
}
# A row of the processes table: the tool's own timing (text), then from the files of one figure the tool's
# whole process, ours as a whole process, and ours / the tool.
process_row() {
  local name=$1 own=$2 tool=$3 ours=$4
  echo "$name|$own|$(spread <"$tool")|$(spread <"$ours")|$(ratio "$(median <"$ours")" "$(median <"$tool")")"
}

measure() {
  local setting=$1 kind=$2 f=${file[$2]} d=$work/$1-$2 seek=7.1
  mkdir -p "$d"
  if has_video "$kind"; then
    "$build/bin/bench_floor" "$f" "$runs" video >"$d/floor"
  else
    "$build/bin/bench_floor" "$f" "$runs" >"$d/floor"
  fi

  for _ in $(seq "$runs"); do
    whole ffprobe -version >>"$d/ffprobe-startup"
    whole ffprobe -v error -show_streams -show_format "$f" >>"$d/ffprobe"
    whole "$build/bin/bench_floor" --once probe "$f" >>"$d/ours-probe"
    whole ffmpeg -version >>"$d/ffmpeg-startup"
    if has_video "$kind"; then
      rtime -i "$f" -map 0:v:0 -frames:v 1 >>"$d/first-own"
      whole ffmpeg -nostdin -i "$f" -map 0:v:0 -frames:v 1 -f null - >>"$d/first-tool"
      whole "$build/bin/bench_floor" --once first "$f" >>"$d/first-ours"
      rtime -ss "$seek" -i "$f" -map 0:v:0 -frames:v 1 >>"$d/seek-own"
      whole ffmpeg -nostdin -ss "$seek" -i "$f" -map 0:v:0 -frames:v 1 -f null - >>"$d/seek-tool"
      whole "$build/bin/bench_floor" --once seek "$f" "$seek" >>"$d/seek-ours"
    fi
  done
  # Start-up varies by tens of milliseconds from one process to the next; the fastest of each are subtracted.
  local probe_own
  probe_own=$(awk -v a="$(sort -g "$d/ffprobe" | head -1)" -v b="$(sort -g "$d/ffprobe-startup" | head -1)" \
    'BEGIN { printf "%.1f (fastest less fastest)\n", a - b }')
  {
    process_row "probe: ffprobe -show_streams -show_format, its start-up subtracted" \
      "$probe_own" "$d/ffprobe" "$d/ours-probe"
    if has_video "$kind"; then
      process_row "first picture: ffmpeg -frames:v 1" "$(spread <"$d/first-own")" "$d/first-tool" "$d/first-ours"
      process_row "open + exact seek to ${seek} s: ffmpeg -ss" "$(spread <"$d/seek-own")" "$d/seek-tool" \
        "$d/seek-ours"
    fi
    echo "start-up alone: ffmpeg -version / ffprobe -version|-|$(spread <"$d/ffmpeg-startup") / $(spread <"$d/ffprobe-startup")|-|-"
  } >"$d/processes"

  local signature=- subtitles=() filter=()
  if has_video "$kind"; then
    signature=$f.sig
  fi
  if [ "$kind" = ass ]; then
    subtitles=(0)
    filter=(-vf "subtitles=$f")
  fi
  for _ in $(seq "$runs"); do
    /usr/bin/time -f '%U %S %M' -o "$d/usage" "$build/bin/bench_playback" "$f" "$signature" "${subtitles[@]}" \
      >>"$d/pictures"
    awk '{ printf "%.2f %.0f\n", $1 + $2, $3 / 1024 }' "$d/usage" >>"$d/ours-play"
    /usr/bin/time -f '%U %S %M' -o "$d/usage" \
      ffmpeg -nostdin -hide_banner -loglevel error -re -i "$f" "${filter[@]}" -f null -
    awk '{ printf "%.2f %.0f\n", $1 + $2, $3 / 1024 }' "$d/usage" >>"$d/tool-play"
    if ten_bit "$kind"; then
      /usr/bin/time -f '%U %S %M' -o "$d/usage" \
        ffmpeg -nostdin -hide_banner -loglevel error -re -i "$f" -vf format=yuv420p -f null -
      awk '{ printf "%.2f %.0f\n", $1 + $2, $3 / 1024 }' "$d/usage" >>"$d/tool8-play"
    fi
  done
  local cpu_ours cpu_tool pictures=- lateness=-
  cpu_ours=$(cut -d' ' -f1 "$d/ours-play" | median)
  cpu_tool=$(cut -d' ' -f1 "$d/tool-play" | median)
  if has_video "$kind"; then
    # pictures <n> shown <n> repeated <n> dropped <n> late <n> lateness_ms <p50> <p90> <p99> <max>
    pictures="$(awk '{ print $4 }' "$d/pictures" | median) / $(awk '{ print $6 }' "$d/pictures" | spread %.0f) / \
$(awk '{ print $8 }' "$d/pictures" | spread %.0f) / $(awk '{ print $10 }' "$d/pictures" | spread %.0f) of \
$(awk '{ print $2 }' "$d/pictures" | median)"
    lateness="$(awk '{ print $12 }' "$d/pictures" | median) / $(awk '{ print $13 }' "$d/pictures" | median) / \
$(awk '{ print $14 }' "$d/pictures" | median) / $(awk '{ print $15 }' "$d/pictures" | sort -g | tail -1)"
  fi
  echo "| ${describe[$kind]} | $(label "$setting") | $(cut -d' ' -f1 "$d/ours-play" | spread %.2f) |" \
    "$(cut -d' ' -f1 "$d/tool-play" | spread %.2f) | $(ratio "$cpu_ours" "$cpu_tool") |" \
    "$(cut -d' ' -f2 "$d/ours-play" | spread %.0f) | $(cut -d' ' -f2 "$d/tool-play" | spread %.0f) |" \
    "$pictures | $lateness |" \
    >"$d/playback"
  if ten_bit "$kind"; then
    echo "| ${describe[$kind]} | $(label "$setting") | $(cut -d' ' -f1 "$d/ours-play" | spread %.2f) |" \
      "$(cut -d' ' -f1 "$d/tool8-play" | spread %.2f) |" \
      "$(ratio "$cpu_ours" "$(cut -d' ' -f1 "$d/tool8-play" | median)") |" \
      "$(cut -d' ' -f2 "$d/ours-play" | spread %.0f) | $(cut -d' ' -f2 "$d/tool8-play" | spread %.0f) |" \
      >"$d/playback8"
  fi
}

started=$(date +%s)
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for setting in $settings; do
  taskset -pc "$setting" $$ >/dev/null
  for kind in $kinds; do
    echo "measuring ${describe[$kind]} on $(label "$setting")" >&2
    measure "$setting" "$kind"
  done
done
taskset -pc "$all" $$ >/dev/null

# One row per file and figure, the core settings side by side.
side_by_side() {
  local table=$1 kind setting i count
  for kind in $kinds; do
    count=$(wc -l <"$work/${settings%% *}-$kind/$table")
    for i in $(seq "$count"); do
      local row="| ${describe[$kind]}"
      for setting in $settings; do
        local line
        line=$(sed -n "${i}p" "$work/$setting-$kind/$table")
        line=${line#| }
        line=${line% |}
        if [ "$setting" != "${settings%% *}" ]; then
          line=${line#*|}   # the figure's name once
        fi
        row="$row | ${line//|/ | }"
      done
      echo "$row |" | sed 's/  */ /g'
    done
  done
}
header() {
  local columns=$2 setting line="| File | $1"
  for setting in $settings; do
    local column
    IFS=';' read -ra column <<<"$columns"
    for c in "${column[@]}"; do
      line="$line | $(label "$setting"): $c"
    done
  done
  echo "$line |"
  echo "$line |" | sed 's/[^|][^|]*/---/g'
}

{
  echo "## Codec: like for like"
  echo
  echo "Run of \`bench/codec/compare_run.sh\`$([ "$quick" = 1 ] && echo " --quick") on $(date -u +%Y-%m-%d):" \
    "$(nproc) cores ($(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)), load average" \
    "$load_before at the start and $(cut -d' ' -f1-3 /proc/loadavg) at the end, $runs runs of each figure" \
    "(median and min-max), $(label "${settings##* }") pinned with \`taskset -c 0,1\`, audio output: $ZR_AUDIO," \
    "$(ffmpeg -version | head -1 | cut -d' ' -f1-3). The files are 10 s, made by \`bench/codec/media.sh\`" \
    "(testsrc2 and sine, GOP 2 s)."
  echo
  echo "### In process (ms): libav used directly against our library"
  echo
  echo "The same file and state on both sides: probing is open + stream information; the first picture is open +"
  echo "stream information + the first decoded picture (ours: to the frame callback); the exact seek starts from an"
  echo "opened file that has decoded and seeked (the keyframe before the target, then decoding to it)."
  echo
  header "Figure" "libav;ours;ratio"
  side_by_side floor
  echo
  echo "### The tools by their own timing and whole processes (ms)"
  echo
  echo "The tool's own timing is ffmpeg's \`-benchmark\` rtime, which starts after the tool has opened and probed"
  echo "its input (and, with \`-ss\`, seeked to the keyframe): it covers decoding to the picture, not the open. For"
  echo "ffprobe it is its fastest whole process less its fastest \`ffprobe -version\`. Whole processes are spawn to"
  echo "exit, ours a small process of ours (\`bench_floor --once\`) doing the same job; the ratio is ours / the tool,"
  echo "whole process against whole process."
  echo
  header "Job" "tool's own;tool whole;ours whole;ratio"
  side_by_side processes
  echo
  echo "### Real-time playback against \`ffmpeg -re -i <file> -f null -\`"
  echo
  echo "CPU seconds (user + system) and peak resident memory of the whole process; the tool renders the ASS track"
  echo "with \`-vf subtitles\`. Every picture handed to the frame callback is identified by its signature (the mean"
  echo "luma of a 16x16 grid of blocks) against a reference decode: shown (median), then repeated (shown again),"
  echo "dropped (never shown) and late (shown more than one frame period after its time on the player's clock) as"
  echo "median (min-max); lateness p50 / p90 / p99 (medians of the runs) / max (of all runs) in ms."
  echo
  echo "| File | Cores | CPU s: ours | CPU s: ffmpeg -re | ratio | peak MiB: ours | peak MiB: ffmpeg -re |" \
    "pictures shown / repeated / dropped / late | lateness p50 / p90 / p99 / max |"
  echo "|---|---|---|---|---|---|---|---|---|"
  for kind in $kinds; do
    for setting in $settings; do
      cat "$work/$setting-$kind/playback"
    done
  done
  if compgen -G "$work/*/playback8" >/dev/null; then
    echo
    echo "10-bit files against the tool converting to the 8-bit pictures the frame callback hands over"
    echo "(\`ffmpeg -re -i <file> -vf format=yuv420p -f null -\`), from the same runs:"
    echo
    echo "| File | Cores | CPU s: ours | CPU s: ffmpeg -re to 8-bit | ratio | peak MiB: ours | peak MiB: ffmpeg -re to 8-bit |"
    echo "|---|---|---|---|---|---|---|"
    for kind in $kinds; do
      for setting in $settings; do
        cat "$work/$setting-$kind/playback8" 2>/dev/null || true
      done
    done
  fi
} >"$out"
cat "$out"
echo "run time: $(($(date +%s) - started)) s" >&2

if [ "$update" = 1 ]; then
  results=$top/bench/RESULTS.md
  {
    echo "# Benchmark results"
    echo
    cat "$out"
    echo
    awk 'NR > 1 && /^## /{ skip = ($0 == "## Codec: like for like") } NR > 1 && !skip' "$results" | sed '1{/^$/d}'
  } >"$results.new"
  mv "$results.new" "$results"
  echo "updated $results" >&2
fi
echo "results: $out"
