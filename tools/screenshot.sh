#!/usr/bin/env bash
# Runs the panel on a virtual X display, waits for it to come up and saves a picture of the
# whole screen as a PNG. Usage: tools/screenshot.sh OUT.png [seconds] [kv4panel options...]
# Uses the program of the last build (build/release, else build/test).
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:?usage: tools/screenshot.sh OUT.png [seconds] [options]}
wait=${2:-3}
shift $(( $# >= 2 ? 2 : 1 ))

need=()
for p in xvfb xauth x11-apps netpbm; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    apt-get install -y --no-install-recommends "${need[@]}" >/dev/null || \
        { apt-get update >/dev/null && apt-get install -y --no-install-recommends "${need[@]}" >/dev/null; }
fi

program=build/release/kv4panel
[ -x "$program" ] || program=build/test/kv4panel
out=$(realpath -m "$out")
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(--simulate)

export ASAN_OPTIONS=detect_leaks=0
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    "$0" "${@:3}" & pid=$!
    sleep "$2"
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > "$1"
    kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
' "$program" "$out" "$wait" "${args[@]}"
echo "saved $out"
