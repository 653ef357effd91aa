#!/usr/bin/env bash
# Builds the artwork generator and draws every bitmap of the panel anew into res/bitmaps/.
# Usage: tools/make-artwork.sh [--preview FILE.png] [--preview-idle FILE.png] [--sheet FILE.png]
# The options are passed to the generator: a picture of the whole panel with a unit connected,
# the same with no unit selected, and all small bitmaps enlarged on one sheet.
set -euo pipefail
cd "$(dirname "$0")/.."

fc-list | grep -q "DejaVuSans.ttf" || {
    echo "make-artwork: the font DejaVu Sans is missing (apt-get install fonts-dejavu-core)" >&2
    exit 1
}

build=build/art
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV4_TESTS=OFF -DKV4_BENCH=OFF >/dev/null
cmake --build "$build" --target kv4_artwork

QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)} \
    "$build/tools/artwork/kv4_artwork" res/bitmaps "$@"

# Every bitmap must be listed in res/res.qrc, or the program cannot load it.
missing=0
for f in res/bitmaps/*.png; do
    name=$(basename "$f")
    if ! grep -q "<file alias=\"$name\">bitmaps/$name</file>" res/res.qrc; then
        echo "make-artwork: res/res.qrc does not list bitmaps/$name" >&2
        missing=1
    fi
done
[ "$missing" -eq 0 ] || exit 1
echo "make-artwork: $(ls res/bitmaps/*.png | wc -l) bitmaps in res/bitmaps"
