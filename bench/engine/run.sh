#!/usr/bin/env bash
# Upload-and-draw rate of a 1920x1080 YUV frame in the OpenGL view under Xvfb, against swscale's
# conversion of the same frame to BGRA by the ffmpeg tool. Medians of five runs each.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
if [ ! -x "$build/bin/bench_videoview" ]; then
  bash "$top/scripts/build.sh"
fi
frames=${ZR_VIDEO_FRAMES:-150}
runs=5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frame=$work/frame.yuv
ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=1920x1080 \
  -frames:v 1 -pix_fmt yuv420p -f rawvideo "$frame"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

renderer=unknown
for _ in $(seq $runs); do
  out=$(QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
    "$build/bin/bench_videoview" "$frame" "$frames" 2>/dev/null)
  renderer=$(sed -n 's/^renderer: //p' <<<"$out")
  sed -n 's/^fps: //p' <<<"$out" >>"$work/view"
  # -benchmark reports the conversion's wall time without the tool's start-up.
  ffmpeg -nostdin -hide_banner -benchmark -f rawvideo -pix_fmt yuv420p -s 1920x1080 \
    -stream_loop $((frames - 1)) -i "$frame" -pix_fmt bgra -f null - 2>&1 |
    sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p' | awk -v n="$frames" '{ printf "%.1f\n", n / $1 }' >>"$work/ffmpeg"
done
view_fps=$(median <"$work/view")
ffmpeg_fps=$(median <"$work/ffmpeg")
ratio=$(awk -v a="$view_fps" -v b="$ffmpeg_fps" 'BEGIN { printf "%.2f", a / b }')

echo "## Video view"
echo "machine: $(nproc) cores; frame: 1920x1080 yuv420p (testsrc2), $frames frames a run, medians of $runs runs; Xvfb, renderer: $renderer"
echo "OpenGL view, hand-in + upload + draw + glFinish: $view_fps fps"
echo "ffmpeg swscale yuv420p -> bgra (-f null): $ffmpeg_fps fps"
echo "ratio view / swscale: $ratio (above 1: the view shows frames faster than swscale converts them)"
