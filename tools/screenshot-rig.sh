#!/usr/bin/env bash
# Runs the panel on the simulated rig on a virtual X display, unit 3 selected, and saves both
# windows (the panel and the simulated rig's console beside it) as one PNG cropped to them.
# Usage: tools/screenshot-rig.sh [OUT.png] [seconds]     (default docs/rig.png, 4 seconds)
# Uses the program of the last build: $KV4PANEL, else build/release, else build/test.
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs/rig.png}")
wait=${2:-4}

need=()
for p in xvfb xauth x11-apps x11-utils netpbm; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    apt-get install -y --no-install-recommends "${need[@]}" >/dev/null || \
        { apt-get update >/dev/null && apt-get install -y --no-install-recommends "${need[@]}" >/dev/null; }
fi

program=${KV4PANEL:-build/release/kv4panel}
[ -x "$program" ] || program=build/test/kv4panel
if [ ! -x "$program" ]; then
    echo "no kv4panel built yet: run tools/run-panel.sh or build build/release first" >&2
    exit 1
fi
mkdir -p "$(dirname "$out")"

export ASAN_OPTIONS=detect_leaks=0
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    "$0" --simulate --select-unit 3 & pid=$!
    sleep "$2"
    # The extent of the program'"'"'s windows: the largest right and bottom edge of the top-level
    # windows (tiny helper windows left out).
    read -r width height < <(xwininfo -root -children | awk "
        /^ +0x/ && match(\$0, /[0-9]+x[0-9]+[+-][0-9]+[+-][0-9]+ +[+-][0-9]+[+-][0-9]+/) {
            split(substr(\$0, RSTART, RLENGTH), f, /[ x+]+/)
            if (f[1] > 50 && f[2] > 50) {
                if (f[5] + f[1] > w) w = f[5] + f[1]
                if (f[6] + f[2] > h) h = f[6] + f[2]
            }
        }
        END { print w, h }")
    xwd -root -silent | xwdtopnm 2>/dev/null |
        pnmcut -left 0 -top 0 -width "$width" -height "$height" | pnmtopng > "$1"
    kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
' "$program" "$out" "$wait"
echo "saved $out"
