#!/bin/sh
# The kiosk session script's restart rules, with stand-ins for cage, the panel and the update
# hook: an end with status 0 runs the hook and starts the panel again, any other end is the
# session's status (systemd restarts it), and SIGTERM ends the panel (or the hook) and the
# session with status 0, without the hook.
#     session-test.sh SESSION_SCRIPT
set -u
session=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
mkdir "$tmp/run"

# cage: runs its client after "--".
cat >"$tmp/cage" <<'S'
#!/bin/sh
[ "$1" = -- ] && shift
"$@"
S
# A cage that dies before its client starts.
printf '#!/bin/sh\nexit 0\n' >"$tmp/broken-cage"
# The panel: each start takes the next line of plan: a status to end with, or "run" to run
# until SIGTERM (then it ends with 0, as the real one does).
cat >"$tmp/panel" <<'S'
#!/bin/sh
plan=$(head -n 1 "$T/plan"); sed -i 1d "$T/plan"
echo "panel $*" >>"$T/log"
if [ "$plan" = run ]; then
    trap 'echo "panel TERM" >>"$T/log"; exit 0' TERM
    while :; do sleep 0.05; done
fi
exit "$plan"
S
# The hook: logs, then ends at once or (hold) waits for SIGTERM.
cat >"$tmp/hook" <<'S'
#!/bin/sh
echo hook >>"$T/log"
[ -e "$T/hold" ] && exec sleep 600
exit 0
S
chmod 755 "$tmp/cage" "$tmp/broken-cage" "$tmp/panel" "$tmp/hook"

start() {  # start COMPOSITOR: runs the session in the background, its pid in $pid
    : >"$tmp/log"
    T=$tmp RUNTIME_DIRECTORY=$tmp/run KV4_COMPOSITOR=$1 KV4_PANEL=$tmp/panel \
        KV4_UPDATE_HOOK=$tmp/hook sh "$session" </dev/null 2>>"$tmp/stderr" &
    pid=$!
}
waitfor() {  # waitfor TEXT: until the log has a line TEXT (at most 10 s)
    i=0
    while ! grep -qx "$1" "$tmp/log" && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
}
expect() {  # expect WHAT STATUS LOG: the session's status and the log it left
    wait "$pid"
    status=$?
    got=$(cat "$tmp/log")
    if [ "$status" = "$2" ] && [ "$got" = "$3" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1: status $status, log:"; echo "$got"; fail=1
    fi
}

printf '3\n' >"$tmp/plan"
start "$tmp/cage"
expect "a fatal error (status 3) ends the session with it, no hook" 3 "panel --kiosk"

printf '0\n139\n' >"$tmp/plan"
start "$tmp/cage"
expect "after status 0 the hook runs, then the panel again; a crash ends the session" 139 \
    "$(printf 'panel --kiosk\nhook\npanel --kiosk')"

printf 'run\n' >"$tmp/plan"
start "$tmp/cage"
waitfor "panel --kiosk"
kill -TERM "$pid"
expect "SIGTERM ends the panel and the session with status 0, no hook" 0 \
    "$(printf 'panel --kiosk\npanel TERM')"

printf '0\n' >"$tmp/plan"
touch "$tmp/hold"
start "$tmp/cage"
waitfor hook
kill -TERM "$pid"
expect "SIGTERM during the update hook ends it and the session" 0 \
    "$(printf 'panel --kiosk\nhook')"
rm "$tmp/hold"

start "$tmp/broken-cage"
expect "a compositor that ends without the panel is a failure" 1 ""
grep -q "ended without the panel" "$tmp/stderr" || { echo "FAIL no line on stderr"; fail=1; }

[ "$fail" -eq 0 ] && echo "session: all checks passed"
exit "$fail"
