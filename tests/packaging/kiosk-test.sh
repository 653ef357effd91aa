#!/bin/sh
# The kiosk session for real, headless: the session script starts cage on wlroots' headless
# backend with the panel on the simulator and --kiosk as on the panel PC (a stand-in systemctl
# first on the PATH refuses the power-off a fatal error would ask for), a screenshot is taken
# with grim, the Files dialog is opened over the remote
# line and pictured with its touch keyboard (OUT-keyboard.png), and SIGTERM ends it all with
# status 0.
#     kiosk-test.sh SESSION_SCRIPT KV4PANEL OUT.png
# Exit status 77 (skipped) where cage or grim is not installed.
set -u
session=$1
program=$2
shot=$3
for tool in cage grim; do
    command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

# The remote line of the panel, on a port of its own for this run.
port=$((20000 + $$ % 20000))
tmp=$(mktemp -d)
chmod 755 "$tmp"
mkdir -m 700 "$tmp/xdg" "$tmp/run"
# cage refuses to run as root; the session runs as an unprivileged user, as on the panel PC.
as=
if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$tmp/xdg" "$tmp/run"
    as="setpriv --reuid=nobody --regid=nogroup --clear-groups"
    # The tree may sit where that user cannot reach it.
    if ! $as test -x "$program" -a -r "$session"; then
        cp "$program" "$tmp/kv4panel" && cp "$session" "$tmp/session"
        program=$tmp/kv4panel
        session=$tmp/session
    fi
fi
cleanup() {
    [ -n "${pid:-}" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

# systemctl as the panel would find it: it powers nothing off, and says it was asked.
mkdir "$tmp/bin"
cat >"$tmp/bin/systemctl" <<S
#!/bin/sh
echo "systemctl \$*" >>"$tmp/xdg/systemctl.log"
exit 1
S
chmod 755 "$tmp/bin/systemctl"
# A sanitizer build's leak check would also count what Qt's Wayland and D-Bus clients keep
# until exit; the offscreen tests check the program's own memory.
cat >"$tmp/panel" <<S
#!/bin/sh
ASAN_OPTIONS=detect_leaks=0 exec "$program" --simulate --select-unit 3 --config /nonexistent/KV4.ini --remote 127.0.0.1:$port "\$@"
S
chmod 755 "$tmp/panel"

$as env -i PATH="$tmp/bin:/usr/bin:/bin" HOME="$tmp/xdg" XDG_RUNTIME_DIR="$tmp/xdg" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    RUNTIME_DIRECTORY="$tmp/run" KV4_PANEL="$tmp/panel" \
    sh "$session" </dev/null >"$tmp/out" 2>&1 &
pid=$!

# The panel is up once it has read (or missed) its configuration; then it selects unit 3.
i=0
while ! grep -q "configuration file /nonexistent/KV4.ini" "$tmp/out" && [ $i -lt 300 ]; do
    sleep 0.1
    i=$((i + 1))
done
sleep 3
fail=0
rm -f "$shot"
$as env XDG_RUNTIME_DIR="$tmp/xdg" WAYLAND_DISPLAY=wayland-0 grim "$tmp/xdg/shot.png" &&
    cp "$tmp/xdg/shot.png" "$shot"
if [ -s "$shot" ]; then echo "ok   screenshot $shot"; else echo "FAIL no screenshot"; fail=1; fi

# The Files dialog over the remote line (a touch on its menu button), then its touch keyboard.
remote() {
    bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$port"' || exit 1
        printf "%s\n" "$1" >&3; IFS= read -r -t 10 reply <&3; printf "%s\n" "$reply"' _ "$1"
}
kshot=${shot%.png}-keyboard.png
rm -f "$kshot"
remote "menu 7" >/dev/null
i=0
while ! remote state | grep -q '"dialog":"Files".*"keyboard":true' && [ $i -lt 50 ]; do
    sleep 0.2
    i=$((i + 1))
done
if remote state | grep -q '"dialog":"Files".*"keyboard":true'; then
    echo "ok   the Files dialog shows its touch keyboard"
else
    echo "FAIL no touch keyboard in the Files dialog: $(remote state | grep -o '"dialog.*')"
    fail=1
fi
sleep 1
$as env XDG_RUNTIME_DIR="$tmp/xdg" WAYLAND_DISPLAY=wayland-0 grim "$tmp/xdg/kshot.png" &&
    cp "$tmp/xdg/kshot.png" "$kshot"
if [ -s "$kshot" ]; then echo "ok   screenshot $kshot"; else echo "FAIL no screenshot of the keyboard"; fail=1; fi
if [ -e "$tmp/xdg/systemctl.log" ]; then
    echo "FAIL the panel asked systemctl: $(cat "$tmp/xdg/systemctl.log")"; fail=1
fi
if grep -q "touch keyboard cannot be shown" "$tmp/out"; then
    echo "FAIL $(grep "touch keyboard" "$tmp/out")"; fail=1
fi

# The compositor is never signalled: the session passes the stop to the panel alone.
kill -TERM "$pid"
i=0
while kill -0 "$pid" 2>/dev/null && [ $i -lt 200 ]; do sleep 0.1; i=$((i + 1)); done
if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL the session did not end on SIGTERM"
    fail=1
else
    wait "$pid"
    status=$?
    pid=
    if [ "$status" -eq 0 ]; then echo "ok   SIGTERM ends the session with status 0"; else
        echo "FAIL the session ended with status $status"; fail=1; fi
fi
if grep -q "kv4panel: SIGTERM received: ending with status 0" "$tmp/out" &&
    [ "$(cat "$tmp/run/status" 2>/dev/null)" = 0 ]; then
    echo "ok   the panel ended on SIGTERM as on Escape"
else
    echo "FAIL the panel did not report the stop or did not end with status 0"; fail=1
fi
[ "$fail" -eq 0 ] || grep -v 'drmGetDevices\|Basic output test' "$tmp/out" | tail -n 30
[ "$fail" -eq 0 ] && echo "kiosk: all checks passed"
exit "$fail"
