#!/usr/bin/env bash
# Installs the Debian packages kv4panel needs to build, test and run. Safe to run again:
# it asks apt only for what is missing and refreshes the package lists only when needed.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-serialport-dev libqt6serialport6 libqt6network6
    libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core fonts-dejavu-extra xvfb xauth
    clang libclang-rt-14-dev
    qt6-pdf-dev
    qt6-declarative-dev qt6-virtualkeyboard-plugin qml6-module-qtquick-virtualkeyboard
    qml6-module-qtquick qml6-module-qtquick-layouts qml6-module-qtquick-window
    qml6-module-qtqml-workerscript qml6-module-qt-labs-folderlistmodel libqt6svg6
    dpkg-dev file help2man lintian
    cage xwayland qt6-wayland grim
    tshark
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Refresh the lists only when a package cannot be found in the ones we have.
if ! apt-get install -y --no-install-recommends --simulate "${missing[@]}" >/dev/null 2>&1; then
    $sudo apt-get update
fi
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
