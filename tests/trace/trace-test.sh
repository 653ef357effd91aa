#!/bin/bash
# A session on the simulator traced with --trace and read back by tshark with the project's
# dissector: link start, unit 3 selected, a knob turned, three answers of unit 3 corrupted by the
# rig's fault modes, and the Files dialog reading the file list.
#     trace-test.sh KV4PANEL DISSECTOR
# Exit status 77 (skipped) where tshark is not installed.
set -u
program=$1
dissector=$2
command -v tshark >/dev/null || { echo "skipped: tshark is not installed"; exit 77; }

port=$((20000 + ($$ + 7919) % 20000))
tmp=$(mktemp -d)
trace=$tmp/session.pcapng
cleanup() {
    [ -n "${pid:-}" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$program" --simulate \
    --config /nonexistent/KV4.ini --remote 127.0.0.1:$port --trace "$trace" >"$tmp/out" 2>&1 &
pid=$!

remote() {
    bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$port"' || exit 1
        printf "%s\n" "$1" >&3; IFS= read -r -t 10 reply <&3; printf "%s\n" "$reply"' _ "$1" \
        2>/dev/null
}
# Waits up to 10 s for the panel's state to match a pattern.
wait_state() {
    local i=0
    while ! remote state | grep -q "$1"; do
        i=$((i + 1))
        [ $i -ge 100 ] && return 1
        sleep 0.1
    done
}

fail=0
check() {
    if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi
}

wait_state '"unit":0' || { echo "FAIL the panel did not come up"; cat "$tmp/out"; exit 1; }
remote "unit 3" >/dev/null
wait_state '"online":\[[0-9,]*3.*"unit":3}' || { echo "FAIL unit 3 was not selected"; fail=1; }
remote "knob 0 400" >/dev/null
# One answer each too long, with a count beyond its data, and of the wrong type.
remote "sim unit 3 fault oversize 1 129" >/dev/null
remote "knob 0 80" >/dev/null
sleep 0.5
remote "sim unit 3 fault count-beyond-data 1 129" >/dev/null
remote "knob 0 40" >/dev/null
sleep 0.5
remote "sim unit 3 fault wrong-type 1 129" >/dev/null
remote "knob 0 20" >/dev/null
sleep 1
remote "menu 7" >/dev/null
wait_state '"dialog":"Files"' || { echo "FAIL the Files dialog did not open"; fail=1; }
kill -TERM $pid
wait $pid
status=$?
pid=
check "the panel ends with status 0 (got $status)" '[ $status -eq 0 ]'
check "the trace is said on stderr" 'grep -q "tracing the link to $trace" "$tmp/out"'

lines=$tmp/lines
tshark -X lua_script:"$dissector" -r "$trace" >"$lines" 2>"$tmp/tshark.err"
check "tshark reads the trace ($(wc -l <"$lines") exchanges)" '[ -s "$lines" ]'
check "no Lua error" '! grep -qi "lua" "$tmp/tshark.err" "$lines"'
has() { grep -q -- "$1" "$lines"; }
check "link start: ConfigurePanel to the surface" 'has "panel → surface .*surface ConfigurePanel (5) -> type 1 length 2 \[result 0 success"'
check "link resets and their waits" 'has "surface ResetLink (6)" && has "Wait 100 ms"'
check "the surface's status reads" 'has "surface ReadPanelStatus (3) -> type 1 length 25 \[result 0"'
check "unit 4 off line: no response after 1000 status reads" 'has "Main Unit 4 Identify (192) \[result 1 no response, 1000 status reads\]"'
check "unit 3 identified" 'has "Main Unit 3 Identify (192) -> type 9 L=.* code 0x40 .@. identity \[result 0"'
check "unit 3's menu blob" 'has "Main Unit 3 DownloadMenuBlob (193) -> .*code 0x42 .B. menu blob, last"'
check "the knob turned: AdjustControl to unit 3" 'has "Main Unit 3 AdjustControl (129) -> type 9 L=[0-9]* C=[0-9]* code 0x04 value updates \[result 0"'
check "the file list read" 'has "Main Unit 3 ReadFileList (open) (194) -> .*code 0x00 ok" && has "Main Unit 3 ReadFileList (next) (198) -> .*code 0x44 .D. file list, last"'

flagged=$(tshark -X lua_script:"$dissector" -r "$trace" -Y kv4link.too_long 2>/dev/null)
check "the too-long answer is flagged, on unit 3 with result 3" \
    'echo "$flagged" | grep -q "Main Unit 3 .* -> type 9 L=263 .*\[result 3 too long"'
# The exchanges that read the data it left on the line may be flagged too.
check "no answer of a good length is flagged as too long" '! echo "$flagged" | grep -q "L=[0-9]\{1,2\} \|L=1[0-9][0-9] \|L=2[0-5][0-9] \|L=26[01] "'
flagged_count=$(tshark -X lua_script:"$dissector" -r "$trace" -Y kv4link.count_beyond 2>/dev/null)
check "the count beyond the data is flagged, on unit 3's AdjustControl" \
    '[ "$(echo "$flagged_count" | grep -c "Main Unit 3 AdjustControl (129) -> type 9 L=[0-9]* C=")" -eq 1 ]'
flagged_type=$(tshark -X lua_script:"$dissector" -r "$trace" -Y kv4link.wrong_type 2>/dev/null)
check "the wrong type is flagged, on unit 3's AdjustControl" \
    '[ "$(echo "$flagged_type" | grep -c "Main Unit 3 AdjustControl (129) -> type 8 ")" -eq 1 ]'
detail=$(tshark -X lua_script:"$dissector" -r "$trace" -Y kv4link.too_long -O kv4link 2>/dev/null)
check "its expert info says why" 'echo "$detail" | grep -q "Expert Info (Error/Malformed): L = 263: 257 data bytes"'
check "parameters high byte first: the movement of 400 counts (0x01 0x90)" \
    'tshark -X lua_script:"$dissector" -r "$trace" -Y "kv4link.param.delta == 400" 2>/dev/null | grep -q AdjustControl'

# Packets the session above may not send, written by hand with text2pcap (Wireshark's own):
# an empty file-data chunk (a request of 5 bytes), a press whose answer is never read, a short
# answer of the wrong length, and a packet whose lengths do not hold.
hand=$tmp/hand.txt
{
    echo "0000 01 01 02 00 00 00 00 03 00 00 00 09 00 05 00 06 08 05 22 00 8f 09 06 00 00 01 1b"
    echo "0000 01 02 03 00 00 00 00 00 00 00 00 05 00 08 00 00 08 08 32 03 a8 96 01 ff"
    echo "0000 01 01 00 00 00 00 00 03 00 00 00 04 00 02 00 02 03 02 01 02"
    echo "0000 01 01 02 00 00 00 00 03 00 00 00 04 00 c8 00 00 08 06"
} >"$hand"
text2pcap -q -n -l 147 "$hand" "$tmp/hand.pcapng" 2>/dev/null
tshark -X lua_script:"$dissector" -r "$tmp/hand.pcapng" >"$tmp/hand.lines" 2>&1
check "hand-made packets: no Lua error" '! grep -qi "lua\|range is out of bounds" "$tmp/hand.lines"'
check "hand-made packets: an empty chunk is WriteFileData (chunk)" \
    'grep -q "Main Unit 2 WriteFileData (chunk) (143) -> type 9 L=6 C=1 code 0x1B" "$tmp/hand.lines"'
check "hand-made packets: a press never answered is PressSwitchNoWait" \
    'grep -q "Main Unit 3 PressSwitchNoWait (168) -> no answer read" "$tmp/hand.lines"'
check "hand-made packets: a status answer of length 2 is flagged" \
    '[ "$(tshark -X lua_script:"$dissector" -r "$tmp/hand.pcapng" -Y kv4link.short_length 2>/dev/null | grep -c ReadPanelStatus)" -eq 1 ]'
check "hand-made packets: lengths that do not hold are flagged" \
    '[ "$(tshark -X lua_script:"$dissector" -r "$tmp/hand.pcapng" -Y kv4link.bad_packet 2>/dev/null | grep -c .)" -eq 1 ]'

[ $fail -eq 0 ] || { echo "--- panel"; cat "$tmp/out"; echo "--- flagged"; echo "$flagged"; echo "--- unit 3"; grep "Unit 3" "$lines" | grep -v "Identify\\|DownloadMenuBlob" | tail -30; }
exit $fail
