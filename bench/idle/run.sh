#!/usr/bin/env bash
# CPU the player's GUI binary spends doing nothing beside mpv: idle with no file, paused on a video, and
# playing a FLAC and an MP3 with nothing but the audio pane moving, each for ZR_BENCH_SPAN seconds (20)
# after ZR_BENCH_SETTLE seconds (6) of settling (the player's controls hide after about 3 s), ZR_BENCH_RUNS runs (5) of each, ours and mpv's interleaved.
# Runs on a display of its own (ZR_BENCH_DISPLAY, :58). Sound goes nowhere on both sides: ours through SDL's
# dummy driver (the audio callback and the level bars still run), mpv's to its null output.
# Prints, per case, CPU seconds of the whole process (all threads) over the span: median (min-max), the same
# as percent of one core, and ours / mpv.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
binary=${ZR_BUILD_DIR:-$top/build}/bin/ZRPlayer
runs=${ZR_BENCH_RUNS:-5}
span=${ZR_BENCH_SPAN:-20}
settle=${ZR_BENCH_SETTLE:-6}
display=${ZR_BENCH_DISPLAY:-:58}
work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
[ -x "$binary" ] || { echo "idle bench: no $binary (build ZRPlayer first)" >&2; exit 1; }

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# The pointer rests in a corner, away from both windows.
xdotool mousemove 1919 1079

length=$((settle + span + 30))
ffmpeg -v error -f lavfi -i "testsrc2=size=1280x720:rate=30:duration=$length" \
  -f lavfi -i "sine=frequency=440:duration=$length" -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$work/clip.mp4"
# Pink noise swelling twice a second: every level bar moves at every block, as with music.
sound="anoisesrc=color=pink:amplitude=0.3:duration=$length"
ffmpeg -v error -f lavfi -i "$sound" -af tremolo=f=2:d=0.7 -ac 2 -c:a flac "$work/tone.flac"
ffmpeg -v error -f lavfi -i "$sound" -af tremolo=f=2:d=0.7 -ac 2 -c:a libmp3lame -b:a 192k "$work/tone.mp3"

ticks=$(getconf CLK_TCK)
# CPU seconds of a process so far: user and system time of all its threads.
cpu() { awk -v t="$ticks" '{print ($14 + $15) / t}' "/proc/$1/stat"; }

# measure <case> <window class> <command...>: CPU seconds over the span; for the case "paused" the space
# key pauses ours once its window shows (mpv is started paused).
measure() {
  local kind=$1 class=$2
  shift 2
  local home pid window before after
  home=$(mktemp -d "$work/home.XXXXXX")
  mkdir -p "$home/run" && chmod 700 "$home/run"
  # ZR_AUDIO=null (set by bench/run.sh) would leave ours without an audio callback: it goes.
  env -u ZR_AUDIO HOME="$home" XDG_RUNTIME_DIR="$home/run" TMPDIR="$home" SDL_AUDIODRIVER=dummy "$@" >/dev/null 2>&1 &
  pid=$!
  window=$(xdotool search --sync --onlyvisible --class "$class" | head -1)
  if [ "$kind" = paused ] && [ "$class" = ZRPlayer ]; then
    # A click on the picture gives the player the keyboard; the pointer then goes back to its corner.
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1 sleep 0.3 key space mousemove 1919 1079
  fi
  sleep "$settle"
  before=$(cpu "$pid")
  sleep "$span"
  after=$(cpu "$pid")
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  awk -v a="$before" -v b="$after" 'BEGIN {printf "%.3f\n", b - a}'
}

summary() {
  sort -n | awk '{v[NR] = $1} END {printf "%.3f (%.3f-%.3f)", v[int((NR + 1) / 2)], v[1], v[NR]}'
}

mpvargs=(mpv --no-config --force-window=yes --geometry=875x580 --ao=null)
echo "cores: $(nproc), load at start: $(cut -d' ' -f1-3 /proc/loadavg), runs: $runs, span: ${span} s"
for kind in idle paused flac mp3; do
  ours=() theirs=()
  for _ in $(seq "$runs"); do
    case $kind in
      idle)
        ours+=("$(measure idle ZRPlayer "$binary")")
        theirs+=("$(measure idle mpv "${mpvargs[@]}" --idle=yes)") ;;
      paused)
        ours+=("$(measure paused ZRPlayer "$binary" "$work/clip.mp4")")
        theirs+=("$(measure paused mpv "${mpvargs[@]}" --pause "$work/clip.mp4")") ;;
      flac | mp3)
        file=$work/tone.$kind
        ours+=("$(measure playing ZRPlayer "$binary" "$file")")
        theirs+=("$(measure playing mpv "${mpvargs[@]}" "$file")") ;;
    esac
  done
  o=$(printf '%s\n' "${ours[@]}" | summary)
  m=$(printf '%s\n' "${theirs[@]}" | summary)
  awk -v k="$kind" -v o="$o" -v m="$m" -v s="$span" 'BEGIN {
    split(o, a, " "); split(m, b, " ");
    printf "%-7s CPU s ours %s, mpv %s; %% of a core ours %.2f, mpv %.2f; ours / mpv %s\n",
      k, o, m, 100 * a[1] / s, 100 * b[1] / s, (b[1] > 0 ? sprintf("%.2f", a[1] / b[1]) : "n/a (mpv below the 10 ms tick)") }'
done
echo "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
