#!/usr/bin/env bash
# Makes a 10 s 1080p30 H.264/AAC clip and compares the codec player with the ffmpeg tool on it.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
if [ ! -x "$build/bin/bench_playback" ]; then
  bash "$top/scripts/build.sh"
fi
export ZR_AUDIO=${ZR_AUDIO:-null}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clip=$work/clip1080.mp4
ffmpeg -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=10 \
  -f lavfi -i sine=frequency=1000:sample_rate=48000:duration=10 \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k -movflags +faststart "$clip"
echo "## Codec playback"
echo "machine: $(nproc) cores; clip: 10 s 1920x1080 30 fps H.264 (x264 veryfast) with 48 kHz AAC; audio: ${ZR_AUDIO}"
"$build/bin/bench_playback" "$clip" 30 300

# The same with a typical processing chain: eq and hue, deinterlacing of every picture, and a subtitle line
# on screen all the time.
subs=$work/clip1080.srt
for i in $(seq 0 9); do
  printf '%d\n00:00:%02d,000 --> 00:00:%02d,000\nSubtitle line %d of the benchmark\n\n' $((i + 1)) "$i" $((i + 1)) $((i + 1))
done > "$subs"
echo "## Codec playback with processing (eq, hue, deinterlace, subtitles)"
"$build/bin/bench_playback" "$clip" 30 300 "$subs"
