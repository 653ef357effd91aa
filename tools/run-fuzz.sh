#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# each in turn on its committed seed corpus (fuzz/corpus/<name>) and a working corpus of its
# own (build/fuzz/corpus/<name>). Findings (crash-*, leak-*, timeout-*) land in
# build/fuzz/findings/ and make the script fail.
# Usage: tools/run-fuzz.sh [--smoke] [seconds per target, default 30] [target names...]
#   --smoke: CI's check; every target runs its committed corpus, then fuzzes for the given
#   seconds (at most 30) with nothing kept.
set -euo pipefail
cd "$(dirname "$0")/.."
smoke=0
if [ "${1:-}" = "--smoke" ]; then smoke=1; shift; fi
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(unit_answers surface bypass_relay about_text menu_blob config sim_profile link_trace
    remote_line)
if [ "$smoke" = 1 ] && [ "$seconds" -gt 30 ]; then seconds=30; fi

# The longest input each target takes: a blob fills a 64 KB block, the configuration reader
# takes 1 MiB, a GPI detail read may take 64 answers of 262 bytes, two serial frames of up to
# 260 bytes fit in 600; a trace of a few hundred exchanges fits in 64 KB; one over-long remote
# line (1025 bytes and its reads' headers) fits in 1280.
declare -A max_len=([unit_answers]=20000 [surface]=1024 [bypass_relay]=600 [about_text]=1024
                    [menu_blob]=70000 [config]=1048577 [sim_profile]=65536
                    [link_trace]=65536 [remote_line]=1280)

bash tools/install-deps.sh
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKV4_FUZZ=ON -DKV4_TESTS=OFF -DKV4_BENCH=OFF >/dev/null
cmake --build build/fuzz --target $(printf 'fuzz_%s ' "${targets[@]}")
mkdir -p build/fuzz/findings

export ASAN_OPTIONS=detect_leaks=1
# libFuzzer checks every input for leaks as it runs. The check at exit is off: the targets that
# drive widgets end with Qt's per-thread font cache still held, which Qt never frees.
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:leak_check_at_exit=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
    echo "== fuzz_$t: $seconds s"
    corpus=()
    if [ "$smoke" = 1 ]; then
        work=$(mktemp -d)
        corpus=("$work" "fuzz/corpus/$t")
    else
        mkdir -p "build/fuzz/corpus/$t"
        corpus=("build/fuzz/corpus/$t" "fuzz/corpus/$t")
    fi
    # The fuzzer's own status decides; the filter only keeps the summary lines.
    set +e +o pipefail
    build/fuzz/fuzz/fuzz_$t -max_total_time="$seconds" -max_len="${max_len[$t]}" \
        -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/findings/$t-" "${corpus[@]}" 2>&1 |
        grep -E '^(INFO: seed corpus|#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|==[0-9]+==|SUMMARY)'
    status=${PIPESTATUS[0]}
    set -e -o pipefail
    [ "$smoke" = 1 ] && rm -rf "$work"
    if [ "$status" -ne 0 ]; then
        echo "fuzz_$t found a fault: see build/fuzz/findings/$t-*" >&2
        exit 1
    fi
done
