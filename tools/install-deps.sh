#!/usr/bin/env bash
# Installs the Debian 12 packages Roarmark needs (run as root).
# Usage: tools/install-deps.sh [--check] [program|tests|all]
#   program  what building and running the desktop program needs (tools/run.sh)
#   tests    what the tests, benchmarks, fuzzers and the package check need on top
#   all      both (the default; tools/test.sh)
# With --check it only tells what is missing (exit 1 then), as any user may ask.
set -euo pipefail
program_packages=(
  build-essential cmake ninja-build pkg-config
  libfreetype-dev libfontconfig-dev libjpeg-dev libspng-dev zlib1g-dev libcsv-dev
  qt6-base-dev qt6-qpa-plugins libgl-dev libpulse-dev libxcb-randr0-dev
  libcivetweb-dev nlohmann-json3-dev liblo-dev libxcb-screensaver0-dev libxcb-shm0-dev
  fonts-liberation fonts-dejavu-core
)
test_packages=(
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps x11-utils xdotool imagemagick pulseaudio pulseaudio-utils sox libsox-fmt-pulse
  openbox pipewire pipewire-pulse wireplumber dbus dpkg-dev file
  alsa-utils sound-theme-freedesktop libsox-fmt-base python3 chromium
  python3-dbus python3-gi xtrace x11-xserver-utils xserver-xorg-core xserver-xorg-video-dummy
  lintian appstream desktop-file-utils
)
check=0
if [ "${1:-}" = --check ]; then
  check=1
  shift
fi
case "${1:-all}" in
  program) packages=("${program_packages[@]}") ;;
  tests) packages=("${test_packages[@]}") ;;
  all) packages=("${program_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: tools/install-deps.sh [--check] [program|tests|all]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ $check = 1 ]; then
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
