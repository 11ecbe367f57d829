#!/usr/bin/env bash
# Installs every Debian package Quelvatron needs to build, run, test and benchmark.
# Idempotent: when everything is present it prints nothing and returns at once.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ca-certificates
  clang libclang-rt-dev
  qt6-base-dev libgl-dev
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  libcairo2-dev libpango1.0-dev libfontconfig-dev libexif-dev libsdl2-dev
  libcurl4-openssl-dev libsecret-1-dev libglib2.0-dev libexpat1-dev zlib1g-dev
  fonts-liberation fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth ffmpeg libxtst-dev
  dbus-daemon gnome-keyring
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
