#!/usr/bin/env bash
# Installs every Debian package the build, the player and the tests need, when one is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  qtbase5-dev qtbase5-dev-tools libqt5opengl5-dev libqt5svg5-dev
  libavformat-dev libavcodec-dev libavfilter-dev libswscale-dev libswresample-dev libavutil-dev
  libdvdread-dev libass-dev libsdl2-dev zlib1g-dev libxcb-keysyms1-dev libxcb1-dev libx11-dev
  libgl1-mesa-dri libglx-mesa0 libgl-dev mesa-utils
  libqt5x11extras5-dev libuchardet-dev
  ffmpeg dvdauthor genisoimage xvfb xauth dbus dbus-x11 fontconfig fonts-dejavu-core xdotool desktop-file-utils
  # support library and converter profile store
  libcurl4-openssl-dev qtdeclarative5-dev libglib2.0-dev gsettings-desktop-schemas libsecret-1-dev libzip-dev
  libplist-dev libssl-dev
  # their tests
  gnome-keyring p7zip-full zip unzip python3 openssl libplist-utils
  # the benchmarks (CPU time and peak memory of a process; a player to start beside ours)
  time mpv
  # the interface font and the build tool
  fonts-liberation2 ninja-build
  # the tests of the program itself: a window manager on the test's X server, and xprop to see it up
  openbox x11-utils
)

# One query for the whole list: a start with nothing to install costs a fraction of a second.
declare -A installed=()
while read -r status name; do
  [ "$status" = installed ] && installed[$name]=1
done < <(dpkg-query -W -f='${db:Status-Status} ${Package}\n' "${packages[@]}" 2>/dev/null)
missing=()
for p in "${packages[@]}"; do
  [ -n "${installed[$p]:-}" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
