#!/usr/bin/env bash
# Plays the 4K HEVC 10-bit clip on two cores with two busy loops beside it, ours against mpv (null video and
# audio outputs) and the ffmpeg tool decoding at the clip's pace (-re): the wall time from play to the end,
# pictures dropped, and ours' pictures later than the lateness bound. Prints markdown.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
runs=${ZR_BENCH_RUNS:-3}
cores=${ZR_BENCH_CORES:-0,1}
export ZR_AUDIO=${ZR_AUDIO:-null}
# shellcheck source=bench/codec/media.sh
source "$here/media.sh"
clip=$(bench_media hevc10)
if [ ! "$clip.sig" -nt "$build/bin/bench_signatures" ]; then
  "$build/bin/bench_signatures" "$clip" "$clip.sig.part"
  mv "$clip.sig.part" "$clip.sig"
fi
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$clip")

loads=()
stop_loads() { for pid in "${loads[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap stop_loads EXIT
for _ in 1 2; do
  taskset -c "$cores" sh -c 'while :; do :; done' &
  loads+=($!)
done
elapsed() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'; }

echo "### Time under load: 4K HEVC 10-bit, ${duration} s, on cores $cores beside two busy loops"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) before the runs; $runs runs each"
echo
echo "| run | ours: end after play (s) | ours: shown / dropped (counted) / later than 50 ms | mpv: wall (s) | mpv: dropped | ffmpeg -re: wall (s) |"
echo "| --- | --- | --- | --- | --- | --- |"
for run in $(seq "$runs"); do
  line=$(taskset -c "$cores" "$build/bin/bench_playback" "$clip" "$clip.sig")
  read -r -a f <<<"$line"
  # f: pictures n shown n repeated n dropped n late n lateness_ms 4 values end_s s over_bound n counts 3 values
  start=$EPOCHREALTIME
  status=$(taskset -c "$cores" mpv --no-config --vo=null --ao=null --term-status-msg='mpvdrop ${frame-drop-count} ${decoder-frame-drop-count}' \
    "$clip" 2>&1 | tr '\r' '\n' | grep mpvdrop | tail -1)
  mpv_wall=$(elapsed "$start")
  read -r _ vo_drop dec_drop <<<"$status"
  start=$EPOCHREALTIME
  taskset -c "$cores" ffmpeg -nostdin -hide_banner -loglevel error -re -i "$clip" -f null -
  ffmpeg_wall=$(elapsed "$start")
  echo "| $run | ${f[16]} | ${f[3]} / ${f[22]} / ${f[18]} | $mpv_wall | $((vo_drop + dec_drop)) | $ffmpeg_wall |"
done
echo
echo "ours: the end counted from codecPlay on the paused first picture; mpv and ffmpeg: the whole process, start-up"
echo "included. \"later than 50 ms\": pictures shown more than the default lateness bound after their time on the"
echo "player's clock."
