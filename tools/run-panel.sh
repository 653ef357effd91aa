#!/usr/bin/env bash
# Installs what is missing, builds the panel and runs it against the built-in simulator.
# Extra arguments go to kv4panel (for example --help).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV4_TESTS=OFF
cmake --build build/release --target kv4panel

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running on a virtual X display (xvfb-run); nothing will be visible." >&2
    exec xvfb-run -a -s "-screen 0 1920x1080x24" build/release/kv4panel --simulate "$@"
fi
exec build/release/kv4panel --simulate "$@"
