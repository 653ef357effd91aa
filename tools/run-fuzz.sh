#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a while on a seed corpus made from the
# simulator's profiles. Usage: tools/run-fuzz.sh [seconds per target, default 30]
# Findings (crash-*, leak-*, timeout-*) land in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}

bash tools/install-deps.sh
need=()
for p in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    apt-get install -y --no-install-recommends "${need[@]}" || \
        { apt-get update && apt-get install -y --no-install-recommends "${need[@]}"; }
fi

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKV4_FUZZ=ON -DKV4_TESTS=OFF -DKV4_BENCH=OFF
cmake --build build/fuzz --target fuzz_menu_blob fuzz_config kv4_fuzz_seeds
build/fuzz/fuzz/kv4_fuzz_seeds build/fuzz/seeds
mkdir -p build/fuzz/corpus/menu build/fuzz/corpus/config build/fuzz/findings

export ASAN_OPTIONS=detect_leaks=1
build/fuzz/fuzz/fuzz_menu_blob -max_total_time="$seconds" -max_len=65537 -rss_limit_mb=4096 \
    -artifact_prefix=build/fuzz/findings/menu- build/fuzz/corpus/menu build/fuzz/seeds/menu
build/fuzz/fuzz/fuzz_config -max_total_time="$seconds" -max_len=8192 \
    -artifact_prefix=build/fuzz/findings/config- build/fuzz/corpus/config build/fuzz/seeds/config
