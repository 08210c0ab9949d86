#!/usr/bin/env bash
# Runs one test executable in a private home: run_test.sh <offscreen|xvfb> <dbus|nodbus> <exe> [args...]
# The test gets fresh HOME and XDG folders, the null audio driver and no session bus unless asked for.
set -u
platform=$1 bus=$2
shift 2

home=$(mktemp -d "${TMPDIR:-/tmp}/zrtest.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.local/share" "$home/.config" "$home/.cache" "$home/Documents" "$home/run"
chmod 700 "$home/run"
export HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config \
       XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/run XDG_DOCUMENTS_DIR=$home/Documents \
       TMPDIR=$home ZR_AUDIO=null QT_ASSUME_STDERR_HAS_CONSOLE=1
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER

cmd=("$@")
[ "$bus" = dbus ] && cmd=(dbus-run-session -- "${cmd[@]}")
if [ "$platform" = xvfb ]; then
  export QT_QPA_PLATFORM=xcb
  # A random starting display keeps parallel runs from racing for the same number.
  exec xvfb-run -a -n $((100 + RANDOM % 4000)) -s "-screen 0 1600x1200x24 -nolisten tcp" "${cmd[@]}"
fi
export QT_QPA_PLATFORM=offscreen
exec "${cmd[@]}"
