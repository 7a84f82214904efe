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
  dbus-daemon python3-dbusmock desktop-file-utils appstream dpkg-dev lintian acl libinput-tools
  sway foot nodejs gjs
  qemu-system-x86 linux-image-amd64 busybox-static cpio python3-evdev
)
# The input methods Eisu and Kana are tested against, with their GTK
# modules, a GTK text entry and a way to type into it; without their
# recommendations, which would bring whole desktop settings tools.
input_methods=(
  fcitx5 fcitx5-mozc fcitx5-anthy fcitx5-frontend-gtk3
  ibus ibus-mozc ibus-anthy ibus-gtk3
  python3-gi gir1.2-gtk-3.0 xdotool
)
missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_ims < <(missing_of "${input_methods[@]}")
if [ ${#missing[@]} -gt 0 ] || [ ${#missing_ims[@]} -gt 0 ]; then
  $SUDO apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get install -y -q "${missing[@]}"
fi
if [ ${#missing_ims[@]} -gt 0 ]; then
  $SUDO apt-get install -y -q --no-install-recommends "${missing_ims[@]}"
fi
