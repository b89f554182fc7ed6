#!/usr/bin/env bash
# Installs the Debian 12 packages Roarmark needs to build, run and test (run as root).
# With --check it only tells what is missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev libjpeg-dev libspng-dev fonts-liberation fonts-dejavu-core
  libcsv-dev
  qt6-base-dev qt6-qpa-plugins libgl-dev libpulse-dev
  xvfb xauth x11-apps xdotool imagemagick pulseaudio pulseaudio-utils sox libsox-fmt-pulse
  openbox pipewire pipewire-pulse wireplumber dbus dpkg-dev file
  alsa-utils sound-theme-freedesktop libsox-fmt-base python3
  libcivetweb-dev nlohmann-json3-dev liblo-dev chromium
  libxcb-screensaver0-dev python3-dbus python3-gi xtrace x11-xserver-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# --check: only say whether something is missing (exit 1), as any user may ask.
if [ "${1:-}" = --check ]; then
  [ ${#missing[@]} -eq 0 ] && exit 0
  echo "Missing packages: ${missing[*]}"
  exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # Recommended packages too: the Qt platform plugins and the sound tools' helpers come that way.
  apt-get install -y -qq "${missing[@]}"
fi
