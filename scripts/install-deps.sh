#!/usr/bin/env bash
# Installs, with apt-get and only when missing, every Debian package that the build, the tests and the
# benchmarks need. Safe to run again: a machine that has everything is left untouched and no network is used.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  # Qt 6 and the image formats (TIFF and others come from the plugins package)
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins qt6-l10n-tools
  libgl-dev libxkbcommon-dev
  # codecs and compression
  libgif-dev zlib1g-dev
  # X11 global hotkey
  libx11-dev libxcb1-dev
  # sound
  libasound2-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  # headless display and window checks
  xvfb xauth xdotool x11-utils
  # fonts the themes and the tests rely on
  fonts-dejavu-core fonts-liberation fonts-wqy-microhei fonts-noto-color-emoji fontconfig
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
