#!/usr/bin/env bash
# The support library's HTTP client beside the curl command line, both against nginx on 127.0.0.1,
# on the same files in one run: a 1 GiB download to a file (and its peak memory beside a 100 MiB
# one), a 50 MiB multipart upload built in memory and streamed from disk, and 200 small requests
# with at most 4 at once (the queue's own limit; curl -Z --parallel-max 4), without and with
# accurate progress. Each figure is the median of $ZR_HTTP_RUNS runs (5) with its spread, the two
# clients taking turns, the page cache written back before each (so that neither pays for the
# other's writes). Times are each client's own: curl's %{time_total} (for the 200 requests, its
# whole process less that of the same command with one URL, run beside it), ours as bench_http
# measures from the request's making to its end; whole processes are shown as well. Uploads run with the
# temporary folder (where our request reserves the name of a body file it writes only when asked for) on
# the disk and, when /dev/shm is there, on tmpfs. Prints a Markdown section.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZR_BUILD_DIR:-$top/build}
runs=${ZR_HTTP_RUNS:-5}
if [ ! -x "$build/bin/bench_http" ]; then
  bash "$top/scripts/build.sh"
fi
if ! command -v nginx >/dev/null; then
  # The benchmark's server only; nothing else needs it.
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends nginx-light >/dev/null
  else
    echo "bench/support: nginx is missing and installing it needs root; skipped" >&2
    exit 0
  fi
fi

work=$(mktemp -d)
nginx_pid=
cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null
  rm -rf "$work" "/dev/shm/$(basename "$work")"
}
trap cleanup EXIT
mkdir -p "$work/www" "$work/tmp" "$work/logs"
# nginx's workers give up root: they must be able to read the files.
chmod 755 "$work" "$work/www"
head -c 1073741824 /dev/urandom >"$work/www/1g.bin"
head -c 104857600 /dev/urandom >"$work/www/100m.bin"
head -c 2048 /dev/urandom >"$work/www/small.bin"
head -c 52428800 /dev/urandom >"$work/upload.bin"

start_nginx() {
  local port=$1
  cat >"$work/nginx.conf" <<EOF
daemon off;
worker_processes 2;
pid $work/nginx.pid;
error_log $work/logs/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  sendfile on;
  keepalive_requests 100000;
  client_body_temp_path $work/tmp/body;
  proxy_temp_path $work/tmp/proxy;
  fastcgi_temp_path $work/tmp/fastcgi;
  uwsgi_temp_path $work/tmp/uwsgi;
  scgi_temp_path $work/tmp/scgi;
  server {
    listen 127.0.0.1:$port;
    root $work/www;
    location /upload { client_max_body_size 1g; return 200 "ok\n"; }
  }
}
EOF
  nginx -c "$work/nginx.conf" -p "$work" 2>>"$work/logs/start.log" &
  nginx_pid=$!
  for _ in $(seq 100); do
    curl -sf -o /dev/null "http://127.0.0.1:$port/small.bin" && return 0
    kill -0 "$nginx_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
port=
for _ in $(seq 20); do
  candidate=$((20000 + RANDOM % 40000))
  if start_nginx "$candidate"; then
    port=$candidate
    break
  fi
  nginx_pid=
done
[ -n "$port" ] || { echo "bench/support: nginx did not start" >&2; exit 1; }
base=http://127.0.0.1:$port
export TMPDIR=$work/tmp
temporary_folders=("$work/tmp")
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  mkdir -p "/dev/shm/$(basename "$work")/shm"
  temporary_folders+=("/dev/shm/$(basename "$work")/shm")
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# "median (min-max)"
spread() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f (%.3f-%.3f)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
# Runs a command under /usr/bin/time, with the page cache written back first; puts "<wall seconds>
# <peak KiB>" into $work/last.time.
timed() {
  sync
  /usr/bin/time -o "$work/last.time" -f "%e %M" "$@"
}
now() { date +%s.%N; }

urls=()
for i in $(seq 0 199); do urls+=(-o /dev/null "$base/small.bin?n=$i"); done

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
for _ in $(seq "$runs"); do
  # 1 GiB and 100 MiB downloads to a file.
  for size in 1g 100m; do
    timed curl -sf -o "$work/curl.out" -w "%{time_total}\n" "$base/$size.bin" >>"$work/curl.download.$size"
    cut -d' ' -f2 "$work/last.time" >>"$work/curl.peak.$size"
    cut -d' ' -f1 "$work/last.time" >>"$work/curl.whole.download.$size"
    timed "$build/bin/bench_http" download "$base/$size.bin" "$work/ours.out" |
      sed -n 's/^seconds: //p' >>"$work/ours.download.$size"
    cut -d' ' -f2 "$work/last.time" >>"$work/ours.peak.$size"
    cut -d' ' -f1 "$work/last.time" >>"$work/ours.whole.download.$size"
    cmp -s "$work/curl.out" "$work/ours.out" || { echo "bench/support: the downloads differ" >&2; exit 1; }
    rm -f "$work/curl.out" "$work/ours.out"
  done
  # 50 MiB multipart uploads: "<" reads the file into memory, "@" streams it.
  for road in memory disk; do
    field="file=<$work/upload.bin"
    [ "$road" = disk ] && field="file=@$work/upload.bin"
    timed curl -sf -o /dev/null -w "%{time_total}\n" -F "$field" "$base/upload" >>"$work/curl.upload.$road"
    cut -d' ' -f1 "$work/last.time" >>"$work/curl.whole.upload.$road"
    for folder in "${temporary_folders[@]}"; do
      TMPDIR=$folder timed "$build/bin/bench_http" upload "$road" "$base/upload" "$work/upload.bin" |
        sed -n 's/^seconds: //p' >>"$work/ours.upload.$road.$(basename "$folder")"
      cut -d' ' -f1 "$work/last.time" >>"$work/ours.whole.upload.$road.$(basename "$folder")"
    done
  done
  # 200 small requests, four at a time; the same command with one URL gives curl's start-up.
  sync
  start=$(now); curl -sf -Z --parallel-max 4 "${urls[@]:0:3}" 2>/dev/null; end=$(now)
  one=$(echo "$end - $start" | bc -l)
  start=$(now); curl -sf -Z --parallel-max 4 "${urls[@]}" 2>/dev/null; end=$(now)
  echo "$end - $start" | bc -l >>"$work/curl.whole.requests"
  echo "$end - $start - $one" | bc -l >>"$work/curl.requests"
  for progress in plain accurate; do
    timed "$build/bin/bench_http" requests "$base/small.bin" 200 "$progress" 4 |
      sed -n 's/^seconds: //p' >>"$work/ours.requests.$progress"
    cut -d' ' -f1 "$work/last.time" >>"$work/ours.whole.requests.$progress"
  done
done
load_end=$(cut -d' ' -f1-3 /proc/loadavg)

ratio() { awk -v a="$(median <"$1")" -v b="$(median <"$2")" 'BEGIN { printf "%.2f", a / b }'; }
mib() { median <"$1" | awk '{ printf "%.1f", $1 / 1024 }'; }
row() { # figure, curl file, ours file, curl whole file, ours whole file
  echo "| $1 | $(spread <"$2") | $(spread <"$3") | $(ratio "$3" "$2") | $(spread <"$4") | $(spread <"$5") |"
}

echo "## Support library: HTTP client beside curl"
echo
echo "Run of \`bench/support/run.sh\` on $(date +%F): $(nproc) cores, load average $load_start at the start and"
echo "$load_end at the end, $runs runs of each figure (median and min-max, seconds), the two clients taking turns;"
echo "$(curl --version | head -1 | cut -d' ' -f1-3), $(nginx -v 2>&1 | sed 's/.*: //') on 127.0.0.1 (sendfile, 2 workers),"
echo "files of random bytes on the local disk, downloads written beside them, the page cache written back before"
echo "each run. Own time: curl's \`%{time_total}\` (the 200 requests: its whole process less that of the same command"
echo "with one URL), ours from the request's making to its end in \`bench_http\` (after one request that sets the"
echo "library up, as curl's own time leaves out its start-up); the ratio is ours / curl on own times."
echo
echo "| Figure | curl own | ours own | ratio | curl whole process | ours whole process |"
echo "|---|---|---|---|---|---|"
row "1 GiB download to a file" "$work/curl.download.1g" "$work/ours.download.1g" \
  "$work/curl.whole.download.1g" "$work/ours.whole.download.1g"
for folder in "${temporary_folders[@]}"; do
  name=$(basename "$folder")
  where="temporary folder on the disk"
  [ "$name" = shm ] && where="temporary folder on tmpfs"
  row "50 MiB multipart upload built in memory (curl \`-F file=<\`), $where" "$work/curl.upload.memory" \
    "$work/ours.upload.memory.$name" "$work/curl.whole.upload.memory" "$work/ours.whole.upload.memory.$name"
  row "50 MiB multipart upload streamed from disk (curl \`-F file=@\`), $where" "$work/curl.upload.disk" \
    "$work/ours.upload.disk.$name" "$work/curl.whole.upload.disk" "$work/ours.whole.upload.disk.$name"
done
row "200 small requests, 4 at once, progress not accurate (curl \`-Z --parallel-max 4\`)" \
  "$work/curl.requests" "$work/ours.requests.plain" "$work/curl.whole.requests" "$work/ours.whole.requests.plain"
row "200 small requests, 4 at once, accurate progress (a HEAD request first for each)" \
  "$work/curl.requests" "$work/ours.requests.accurate" "$work/curl.whole.requests" \
  "$work/ours.whole.requests.accurate"
echo
echo "Peak memory (maximum resident set, MiB, median): curl $(mib "$work/curl.peak.100m") for 100 MiB and"
echo "$(mib "$work/curl.peak.1g") for 1 GiB; ours $(mib "$work/ours.peak.100m") for 100 MiB and $(mib "$work/ours.peak.1g")"
echo "for 1 GiB. The HEAD requests of accurate progress cost $(ratio "$work/ours.requests.accurate" "$work/ours.requests.plain")x"
echo "the time of the same 200 requests without them."
