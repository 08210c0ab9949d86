#!/usr/bin/env bash
# Makes a 1080p30 H.264 clip with 250-picture GOPs and 30 s clips with sound, then measures stepping back
# against an exact seek and the silent output's clock against the wall clock.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
if [ ! -x "$build/bin/bench_step" ] || [ ! -x "$build/bin/bench_clock" ]; then
  bash "$top/scripts/build.sh"
fi
export ZR_AUDIO=${ZR_AUDIO:-null}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
ff -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=10 \
   -c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -pix_fmt yuv420p "$work/gop250.mp4"
echo "## Stepping back"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); clip: 10 s 1920x1080 30 fps H.264 (x264 veryfast), GOP 250"
"$build/bin/bench_step" "$work/gop250.mp4" 30 250 30

ff -f lavfi -i testsrc2=size=640x360:rate=30:duration=30 \
   -f lavfi -i sine=frequency=1000:sample_rate=48000:duration=30 \
   -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k "$work/clock.mp4"
ff -f lavfi -i sine=frequency=1000:sample_rate=44100:duration=30 -c:a flac "$work/clock.flac"
echo "## Silent clock (audio: ${ZR_AUDIO})"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for clip in clock.mp4 clock.flac; do
  printf '%s: ' "$clip"
  "$build/bin/bench_clock" "$work/$clip"
done
