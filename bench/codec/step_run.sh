#!/usr/bin/env bash
# Makes a 1080p30 H.264 clip with 250-picture GOPs and 30 s clips with sound, then measures stepping back
# against an exact seek (also on the 4K HEVC 10-bit clip, after steps forward), the silent output's clock
# against the wall clock, the memory held after open and close cycles and the processor time while paused.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
if [ ! -x "$build/bin/bench_step" ] || [ ! -x "$build/bin/bench_clock" ] || [ ! -x "$build/bin/bench_memory" ] \
   || [ ! -x "$build/bin/bench_idle" ]; then
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

# shellcheck source=bench/codec/media.sh
source "$(dirname "$0")/media.sh"
uhd=$(bench_media hevc10)
echo "## Stepping back on 4K"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); clip: 10 s 3840x2160 30 fps HEVC 10-bit (x265 ultrafast), GOP 60"
"$build/bin/bench_step" "$uhd" 30 60 7 7
"$build/bin/bench_step" "$uhd" 30 60 30

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

echo "## Memory after close (4K clip: open, play five pictures, step back, close; one player)"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bin/bench_memory" "$uhd" 100
echo "## Paused (4K clip: after the open, and after a second of play)"
"$build/bin/bench_idle" "$uhd" 5
