#!/usr/bin/env bash
# Pictures of every setup dialog as the kiosk shows it (800 x 600, caption strip, the touch
# keyboard where a name is typed), made from the simulated rig without a display, and one
# montage of them all for the README.
#     bash tools/screenshot-dialogs.sh [OUT_DIR]     (default build/gallery; docs/dialogs.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/gallery}")

bash tools/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV4_SANITIZE=ON >/dev/null
cmake --build build/test --target kv4_dialog_gallery
KV4_GALLERY_DIR="$out" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
    build/test/tests/kv4_dialog_gallery --gtest_brief=1
cp "$out/dialogs.png" docs/dialogs.png
echo "pictures in $out; the montage is docs/dialogs.png"
