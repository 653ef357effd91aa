#!/usr/bin/env bash
# The README's picture of Wireshark reading a link trace: a session on the simulator is traced
# (unit 3 selected, a knob turned, one answer made too long by the rig's fault mode), then
# Wireshark opens it with the dissector on a virtual display, the flagged answer selected and its
# details expanded, and the window is saved.
#     bash tools/screenshot-wireshark.sh [OUT.png]     (default docs/wireshark-trace.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/wireshark-trace.png}")

bash tools/install-deps.sh
# What only this picture needs.
need=()
for p in wireshark-qt x11-apps netpbm xdotool; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${need[@]}"
fi
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV4_SANITIZE=ON >/dev/null
cmake --build build/test --target kv4panel

tmp=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$tmp"' EXIT
trace=$tmp/site.pcapng
port=$((20000 + $$ % 20000))

remote() {
    bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$port"' || exit 1
        printf "%s\n" "$1" >&3; IFS= read -r -t 10 reply <&3' _ "$1" 2>/dev/null
}
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 build/test/kv4panel --simulate \
    --config /nonexistent/KV4.ini --remote 127.0.0.1:$port --trace "$trace" 2>/dev/null &
panel=$!
for _ in $(seq 100); do remote state && break; sleep 0.1; done
remote "unit 3"
sleep 2
remote "knob 0 400"
remote "sim unit 3 fault oversize 1 129"
remote "knob 0 80"
sleep 1
kill -TERM $panel
wait $panel || true

# Wireshark on its own display, with a profile of its own: the window fills the screen.
display=:$((90 + $$ % 100))
Xvfb $display -screen 0 1600x1000x24 -nolisten tcp &
mkdir -p "$tmp/config/wireshark"
cat >"$tmp/config/wireshark/recent_common" <<R
gui.geometry_main_x: 0
gui.geometry_main_y: 0
gui.geometry_main_width: 1600
gui.geometry_main_height: 1000
gui.geometry_main_maximized: FALSE
privs.warn_if_elevated: FALSE
R
cat >"$tmp/config/wireshark/recent" <<R
gui.geometry_main_upper_pane: 330
gui.byte_view_show: FALSE
R
flagged=$(tshark -X lua_script:tools/wireshark/kv4link.lua -r "$trace" -Y kv4link.too_long \
    -T fields -e frame.number 2>/dev/null | head -1)
sleep 1
DISPLAY=$display XDG_CONFIG_HOME=$tmp/config HOME=$tmp \
    wireshark -X lua_script:tools/wireshark/kv4link.lua -r "$trace" -g "${flagged:-1}" \
    -Y "kv4link.unit == 3 || kv4link.kind == 3" >/dev/null 2>&1 &
window=
for _ in $(seq 100); do
    window=$(DISPLAY=$display xdotool search --name "site.pcapng" 2>/dev/null | head -1) && \
        [ -n "$window" ] && break
    sleep 0.3
done
[ -n "$window" ] || { echo "Wireshark did not open" >&2; exit 1; }
sleep 3
detail_row=458  # the second line of the details pane, below the 330-pixel packet list
# A click on the dissector's line of the details, then Expand Subtrees: all of it open.
DISPLAY=$display xdotool mousemove --window "$window" 200 "$detail_row" click 1 2>/dev/null
sleep 0.5
DISPLAY=$display xdotool key shift+Right 2>/dev/null
sleep 2
DISPLAY=$display xwd -id "$window" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out"
echo "picture in $out"
