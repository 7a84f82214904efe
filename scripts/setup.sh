#!/usr/bin/env bash
# Installs everything Kestrune needs to build and test on Debian 12. Idempotent.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-declarative-dev qml6-module-qtquick qml6-module-qtquick-controls
  qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtqml-workerscript
  qml6-module-qtquick-templates qml6-module-qt-labs-platform qt6-tools-dev qt6-tools-dev-tools
  qt6-l10n-tools qt6-svg-dev qml6-module-qtqml
  fonts-material-design-icons-iconfont fonts-vlgothic xvfb xauth
  libevdev-dev libudev-dev libglib2.0-dev libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev
  libgtest-dev libgmock-dev libbenchmark-dev zsh
  dbus-daemon python3-dbusmock desktop-file-utils appstream dpkg-dev lintian
  sway foot nodejs
  qemu-system-x86 linux-image-amd64 busybox-static cpio python3-evdev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q "${missing[@]}"
fi
