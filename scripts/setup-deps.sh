#!/usr/bin/env bash
# Installs the Debian packages velmorra needs to build, test and play;
# with --packaging also those that check the Debian package.
# Idempotent: packages already present are not touched, and apt-get is only
# called when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config clang-format
  libsdl2-dev libsdl2-mixer-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libgtest-dev libgmock-dev
  xvfb xauth xdotool
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  ffmpeg aubio-tools
  pulseaudio pulseaudio-utils libpulse-dev
  libmp3lame-dev libmpg123-dev libfreetype-dev fonts-dejavu-core libpng-dev
  clang libclang-rt-14-dev
  emscripten dpkg-dev chromium firefox-esr
  g++-mingw-w64-x86-64-posix wine python3
)
if [[ "${1:-}" == "--packaging" ]]; then
  PACKAGES+=(dpkg-dev lintian desktop-file-utils appstream)
fi

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "velmorra: installing ${#missing[@]} Debian package(s): ${missing[*]}" >&2
SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
