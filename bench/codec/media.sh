#!/usr/bin/env bash
# The benchmark media, made with the ffmpeg tool (testsrc2 and sine, 10 s each) and kept between runs in
# ${ZR_BENCH_CACHE:-${XDG_CACHE_HOME:-~/.cache}/zr-bench}, named by a hash of the command that makes them.
# Sourced: bench_media <kind> prints the path of that kind's file, making it when it is not cached.
# Kinds: h264 hevc10 vp9 av1 ass flac mp3.

bench_cache=${ZR_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zr-bench}

bench_media_args() {
  local video="-f lavfi -i testsrc2=size=1920x1080:rate=30:duration=10"
  local sine="-f lavfi -i sine=frequency=1000:sample_rate=48000:duration=10"
  local aac="-c:a aac -b:a 128k"
  case $1 in
    h264) echo "mp4 $video $sine -c:v libx264 -profile:v high -preset veryfast -g 60 -pix_fmt yuv420p $aac" ;;
    hevc10) echo "mp4 -f lavfi -i testsrc2=size=3840x2160:rate=30:duration=10 $sine -c:v libx265 -preset ultrafast
                  -x265-params keyint=60:log-level=error -pix_fmt yuv420p10le -tag:v hvc1 $aac" ;;
    vp9) echo "webm $video $sine -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -row-mt 1 -g 60 -b:v 4M
               -pix_fmt yuv420p -c:a libopus" ;;
    av1) echo "mp4 $video $sine -c:v libsvtav1 -preset 12 -g 60 -pix_fmt yuv420p $aac" ;;
    ass) echo "mkv $video $sine -i {subs} -map 0:v -map 1:a -map 2:s -c:v libx264 -preset veryfast -g 60
               -pix_fmt yuv420p $aac -c:s ass" ;;
    flac) echo "flac -f lavfi -i sine=frequency=1000:sample_rate=44100:duration=10 -c:a flac" ;;
    mp3) echo "mp3 -f lavfi -i sine=frequency=1000:sample_rate=44100:duration=10 -c:a libmp3lame -b:a 192k" ;;
    *) echo "unknown media kind $1" >&2; return 1 ;;
  esac
}

# An ASS script with one line on screen at every moment of the 10 s.
bench_media_subtitles() {
  printf '[Script Info]\nScriptType: v4.00+\nPlayResX: 1920\nPlayResY: 1080\n\n[V4+ Styles]\n'
  printf 'Format: Name, Fontname, Fontsize, PrimaryColour, Bold, Italic, Alignment, MarginV\n'
  printf 'Style: Default,DejaVu Sans,64,&H00FFFFFF,0,0,2,40\n\n[Events]\n'
  printf 'Format: Layer, Start, End, Style, Text\n'
  for i in $(seq 0 9); do
    printf 'Dialogue: 0,0:00:%02d.00,0:00:%02d.00,Default,Line %d of the {\\i1}benchmark{\\i0}\n' \
      "$i" $((i + 1)) $((i + 1))
  done
}

bench_media() {
  local recipe ext key file
  recipe=$(bench_media_args "$1") || return 1
  ext=${recipe%% *}
  key=$( (echo "$recipe"; bench_media_subtitles; ffmpeg -version | head -1) | sha1sum | cut -c1-12)
  file=$bench_cache/$1-$key.$ext
  if [ ! -s "$file" ]; then
    mkdir -p "$bench_cache"
    if [[ $recipe == *"{subs}"* ]]; then
      bench_media_subtitles >"$bench_cache/subs-$key.ass"
    fi
    recipe=${recipe//\{subs\}/$bench_cache/subs-$key.ass}
    # shellcheck disable=SC2086 # the recipe is a word list
    SVT_LOG=1 ffmpeg -nostdin -hide_banner -loglevel error -y ${recipe#* } "$file.part.$ext" >&2 \
      || { rm -f "$file.part.$ext"; return 1; }
    mv "$file.part.$ext" "$file"
  fi
  echo "$file"
}
