#!/usr/bin/env bash
# Subtitle benchmarks, printed as Markdown:
# - picture subtitles (VobSub, a 600x100 box on a 720x576 canvas, shown 0.9 s of every second) against text
#   (SubRip, the same times) over the 10 s 1080p30 H.264 clip, played in real time by bench_playback, beside
#   `ffmpeg -re` drawing the same files (overlay of the VobSub scaled to the picture; the subtitles filter);
# - the scan of the subtitle stream before a seek target (bench_scan) beside ffprobe reading the same stretch
#   of the same file, on a 125 s 1080p30 H.264 clip with one line from 5 s to 124 s, in Matroska (ASS) and
#   MP4 (timed text).
# Usage: subtitle_run.sh; ZR_BENCH_RUNS (default 5) and ZR_BENCH_CORES (taskset lists, default all and "0,1").
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
for program in bench_signatures bench_playback bench_scan; do
  [ -x "$build/bin/$program" ] || { echo "build $program first" >&2; exit 1; }
done
export ZR_AUDIO=${ZR_AUDIO:-null}
all="0-$(($(nproc) - 1))"
runs=${ZR_BENCH_RUNS:-5}
settings=${ZR_BENCH_CORES:-"$all 0,1"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=bench/codec/media.sh
source "$here/media.sh"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
# shellcheck source=bench/codec/stats.sh
source "$here/stats.sh"
label() { if [ "$1" = "$all" ]; then echo "$(nproc) cores"; else echo "2 cores"; fi; }
usage() { awk '{ printf "%.2f %.0f\n", $1 + $2, $3 / 1024 }' "$1"; }

clip=$(bench_media h264)
if [ ! "$clip.sig" -nt "$build/bin/bench_signatures" ]; then
  "$build/bin/bench_signatures" "$clip" "$clip.sig.part"
  mv "$clip.sig.part" "$clip.sig"
fi

# The VobSub: a white box with a black border, put on a DVD stream by spumux, cut out with its index.
python3 - "$work/box.png" <<'PY'
import struct, sys, zlib
w, h = 600, 100
rows = []
for y in range(h):
    row = bytearray([0])
    for x in range(w):
        edge = min(x, y, w - 1 - x, h - 1 - y)
        row += bytes([0, 0, 0, 0] if edge < 4 else [0, 0, 0, 255] if edge < 10 else [255, 255, 255, 255])
    rows.append(bytes(row))
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
with open(sys.argv[1], 'wb') as f:
    f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(b''.join(rows))) + chunk(b'IEND', b''))
PY
ff -f lavfi -i testsrc2=size=720x576:rate=25:duration=10 -f lavfi -i sine=duration=10:sample_rate=48000 \
   -target pal-dvd -b:v 1500k "$work/base.mpg"
{
  echo "<subpictures><stream>"
  for i in $(seq 0 9); do
    printf '<spu start="00:00:%02d.00" end="00:00:%02d.90" image="%s" xoffset="60" yoffset="450"/>\n' "$i" "$i" "$work/box.png"
  done
  echo "</stream></subpictures>"
} >"$work/box.xml"
VIDEO_FORMAT=PAL spumux -s 0 "$work/box.xml" <"$work/base.mpg" >"$work/boxed.mpg" 2>/dev/null
ff -i "$work/boxed.mpg" -map 0:s:0 -c copy -f mpeg "$work/lines.sub"
{
  echo '# VobSub index file, v7 (do not modify this line!)'
  echo 'size: 720x576'
  echo 'palette: 000000, ffffff, 000000, ffffff, 808080, 808080, 808080, 808080, 808080, 808080, 808080, 808080, 808080, 808080, 808080, 808080'
  echo 'id: en, index: 0'
  # Each packet from the start of its 2048-byte pack.
  ffprobe -v error -select_streams 0 -show_entries packet=pos -of csv=p=0 "$work/lines.sub" |
    awk '{ printf "timestamp: 00:00:%02d:000, filepos: %09x\n", NR - 1, int($1 / 2048) * 2048 }'
} >"$work/lines.idx"
for i in $(seq 0 9); do
  printf '%d\n00:00:%02d,000 --> 00:00:%02d,900\nLine %d of the benchmark\n\n' $((i + 1)) "$i" "$i" $((i + 1))
done >"$work/lines.srt"

echo "### Picture subtitles on 1080p: real-time playback beside \`ffmpeg -re\`"
echo
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) at the start; $runs runs, the four"
echo "processes of a run one after the other. CPU seconds (user + system) and peak MiB as median (min-max);"
echo "pictures handed to the frame callback while playing, of 300 (median (min-max))."
echo
echo "| Subtitles | Cores | CPU s: ours | CPU s: ffmpeg -re | ratio | peak MiB: ours | peak MiB: ffmpeg -re | pictures handed |"
echo "|---|---|---|---|---|---|---|---|"
for setting in $settings; do
  for kind in srt idx; do
    d=$work/$setting-$kind
    mkdir -p "$d"
  done
  for _ in $(seq "$runs"); do
    for kind in srt idx; do
      d=$work/$setting-$kind
      taskset -c "$setting" /usr/bin/time -f '%U %S %M' -o "$d/usage" \
        "$build/bin/bench_playback" "$clip" "$clip.sig" "$work/lines.$kind" | awk '{ print $NF }' >>"$d/handed"
      usage "$d/usage" >>"$d/ours"
      if [ "$kind" = srt ]; then
        taskset -c "$setting" /usr/bin/time -f '%U %S %M' -o "$d/usage" \
          ffmpeg -nostdin -loglevel error -re -i "$clip" -vf "subtitles=$work/lines.srt" -f null -
      else
        taskset -c "$setting" /usr/bin/time -f '%U %S %M' -o "$d/usage" \
          ffmpeg -nostdin -loglevel error -re -i "$clip" -i "$work/lines.idx" \
          -filter_complex "[1:s]scale=1920:1080[s];[0:v][s]overlay=eof_action=pass" -f null -
      fi
      usage "$d/usage" >>"$d/tool"
    done
  done
  for kind in srt idx; do
    d=$work/$setting-$kind
    name=$([ "$kind" = srt ] && echo "SubRip (text)" || echo "VobSub (picture)")
    echo "| $name | $(label "$setting") | $(awk '{ print $1 }' "$d/ours" | spread %.2f) | $(awk '{ print $1 }' "$d/tool" | spread %.2f) | \
$(ratio "$(awk '{ print $1 }' "$d/ours" | median)" "$(awk '{ print $1 }' "$d/tool" | median)") | \
$(awk '{ print $2 }' "$d/ours" | spread %.0f) | $(awk '{ print $2 }' "$d/tool" | spread %.0f) | $(spread %.0f <"$d/handed") |"
  done
done

# The scan: 125 s of 1080p30 H.264 and AAC, one line from 5 s to 124 s, a seek to 124 s.
long=$bench_cache/scan-$(ffmpeg -version | head -1 | sha1sum | cut -c1-12)
if [ ! -s "$long.mp4" ]; then
  mkdir -p "$bench_cache"
  ff -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=125 -f lavfi -i sine=frequency=1000:sample_rate=48000:duration=125 \
     -c:v libx264 -preset veryfast -b:v 6M -g 60 -pix_fmt yuv420p -c:a aac -b:a 128k "$long.part.mp4"
  mv "$long.part.mp4" "$long.mp4"
fi
printf '1\n00:00:05,000 --> 00:00:124,000\nA long line\n' | sed 's/00:00:124/00:02:04/' >"$work/long.srt"
ff -i "$long.mp4" -i "$work/long.srt" -map 0 -map 1 -c copy -c:s ass "$work/long.mkv"
ff -i "$long.mp4" -i "$work/long.srt" -map 0 -map 1 -c copy -c:s mov_text "$work/long-text.mp4"
echo
echo "### The scan before a seek target beside ffprobe reading the same stretch"
echo
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); $(du -m "$long.mp4" | cut -f1) MiB clip of 125 s;"
echo "a fresh scanner reads from 4 s (the look-back of 120 s) to 124 s, the file in the page cache; ffprobe"
echo "\`-select_streams s -show_entries packet=pts_time -read_intervals 4%124\`, whole process and less its"
echo "start-up (\`ffprobe -version\`, fastest of the runs). Milliseconds, median (min-max) of $runs runs."
echo
echo "| File | Cores | ours: wall | ours: CPU | line found | ffprobe: wall | ffprobe: wall less start-up | ratio (less start-up) |"
echo "|---|---|---|---|---|---|---|---|"
for setting in $settings; do
  for f in long.mkv long-text.mp4; do
    d=$work/scan-$setting-$f
    mkdir -p "$d"
    taskset -c "$setting" "$build/bin/bench_scan" "$work/$f" 2 1 124 "$runs" >"$d/ours"
    for _ in $(seq "$runs"); do
      s=$EPOCHREALTIME
      taskset -c "$setting" ffprobe -v error -version >/dev/null
      awk -v a="$s" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }' >>"$d/startup"
      s=$EPOCHREALTIME
      taskset -c "$setting" ffprobe -v error -select_streams s -show_entries packet=pts_time -read_intervals 4%124 \
        "$work/$f" >/dev/null
      awk -v a="$s" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }' >>"$d/probe"
    done
    fastest=$(sort -g "$d/startup" | head -1)
    awk -v s="$fastest" '{ printf "%.1f\n", $1 - s }' "$d/probe" >"$d/probe-own"
    name=$([ "$f" = long.mkv ] && echo "Matroska, ASS" || echo "MP4, timed text")
    echo "| $name | $(label "$setting") | $(awk '{ print $2 }' "$d/ours" | spread %.1f) | \
$(awk '{ print $4 }' "$d/ours" | spread %.1f) | $(awk '{ s += $6 } END { print s "/" NR }' "$d/ours") | \
$(spread %.1f <"$d/probe") | $(spread %.1f <"$d/probe-own") | \
$(ratio "$(awk '{ print $2 }' "$d/ours" | median)" "$(median <"$d/probe-own")") |"
  done
done
