#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV4_SANITIZE=ON
cmake --build build/test
ln -sf build/test/compile_commands.json compile_commands.json

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/test --output-on-failure --timeout 600 -j "$(nproc)"

# Every fuzz target for a few seconds on its committed corpus: a parser regression shows at once.
bash tools/run-fuzz.sh --smoke 10
