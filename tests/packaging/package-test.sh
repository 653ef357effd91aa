#!/usr/bin/env bash
# Builds the panel PC's Debian package with tools/make-deb.sh and checks what an installer gets:
# the file list, the conffiles, the dependencies, the maintainer scripts, lintian, and the
# packaged program itself, run from a temporary root without a display.
#     package-test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
out=$2
fail=0
check() {  # check WHAT COMMAND...: runs the command, reports WHAT when it fails
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; fail=1; fi
}

deb=$(bash "$src/tools/make-deb.sh" "$out" | tail -n 1)
version=$(sed -n 's/^project(kv4panel VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
check "the package is named kv4panel_${version}_amd64.deb" \
    test "$(basename "$deb")" = "kv4panel_${version}_amd64.deb"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Exactly these files, nothing of the build (tests, headers, static libraries) besides.
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort >"$tmp/files"
cat >"$tmp/expected" <<'LIST'
/etc/kv4/KV4.ini
/etc/pam.d/kv4panel
/usr/bin/kv4panel
/usr/lib/kv4/session
/usr/lib/kv4/update
/usr/lib/modules-load.d/kv4panel.conf
/usr/lib/systemd/system/kv4panel.service
/usr/lib/sysusers.d/kv4panel.conf
/usr/share/doc/kv4/README
/usr/share/doc/kv4/copyright
/usr/share/doc/kv4panel/changelog.gz
/usr/share/doc/kv4panel/copyright
/usr/share/lintian/overrides/kv4panel
/usr/share/man/man1/kv4panel.1.gz
/usr/share/polkit-1/rules.d/kv4panel.rules
LIST
check "the file list" diff -u "$tmp/expected" "$tmp/files"
check "the program and the session scripts are executable" \
    sh -c "dpkg-deb -c '$deb' | grep -E ' \./usr/(bin/kv4panel|lib/kv4/session|lib/kv4/update)$' |
           grep -c '^-rwxr-xr-x root/root' | grep -qx 3"

dpkg-deb -e "$deb" "$tmp/control"
check "the conffiles: the configuration and the PAM stack" \
    diff -u <(printf '/etc/kv4/KV4.ini\n/etc/pam.d/kv4panel\n') "$tmp/control/conffiles"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libc6 libqt6widgets6 libqt6pdfwidgets6 libqt6quickwidgets6 qt6-wayland \
    qt6-virtualkeyboard-plugin qml6-module-qtquick-virtualkeyboard qml6-module-qt-labs-folderlistmodel cage xwayland libpam-systemd polkitd; do
    check "depends on $dep" grep -qE "(^|, )$dep( |,|$)" <<<"$depends"
done
for script in postinst prerm postrm; do
    check "$script is a small shell script" \
        sh -c "sh -n '$tmp/control/$script' && [ \$(grep -cv '^\s*#' '$tmp/control/$script') -le 16 ]"
done
check "postinst makes the kiosk user and enables nothing by itself" \
    sh -c "grep -q 'systemd-sysusers kv4panel.conf' '$tmp/control/postinst' &&
           ! grep -v '^#' '$tmp/control/postinst' | grep -q 'enable'"

# Errors and warnings fail; the kept ones are overridden, each with its reason beside it.
check "lintian" lintian --fail-on error,warning "$deb"

dpkg-deb -x "$deb" "$tmp/root"
check "the parallel port's modules load at boot" \
    sh -c "grep -qx parport_pc '$tmp/root/usr/lib/modules-load.d/kv4panel.conf' &&
           grep -qx ppdev '$tmp/root/usr/lib/modules-load.d/kv4panel.conf'"
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE)
check "the packaged --version" \
    test "$("${nodisplay[@]}" "$tmp/root/usr/bin/kv4panel" --version)" = "kv4panel $version"
check "the packaged --help" \
    sh -c "'${nodisplay[*]}' >/dev/null 2>&1; ${nodisplay[*]} '$tmp/root/usr/bin/kv4panel' --help |
           grep -q -- '--kiosk'"
check "the man page is made from --help" \
    sh -c "zcat '$tmp/root/usr/share/man/man1/kv4panel.1.gz' | grep -q 'serial line of the bypass transfer'"
check "the service runs the session as kv4 in lp and dialout, restarting on failure only" \
    sh -c "f='$tmp/root/usr/lib/systemd/system/kv4panel.service';
           grep -qx 'User=kv4' \$f && grep -qx 'SupplementaryGroups=lp dialout' \$f &&
           grep -qx 'ExecStart=/usr/lib/kv4/session' \$f && grep -qx 'Restart=on-failure' \$f &&
           grep -qx 'PAMName=kv4panel' \$f && grep -qx 'TTYPath=/dev/tty1' \$f"
check "the session starts cage with kv4panel --kiosk" \
    sh -c "grep -q 'compositor=\${KV4_COMPOSITOR:-cage}' '$tmp/root/usr/lib/kv4/session' &&
           grep -q '\"\$panel\" --kiosk' '$tmp/root/usr/lib/kv4/session'"
if command -v systemd-analyze >/dev/null; then
    # The unit as systemd reads it, its programs taken from the extracted package.
    sed "s|=/usr/lib/kv4/|=$tmp/root/usr/lib/kv4/|" \
        "$tmp/root/usr/lib/systemd/system/kv4panel.service" >"$tmp/kv4panel.service"
    check "systemd-analyze verify" systemd-analyze verify --man=no "$tmp/kv4panel.service"
fi

[ "$fail" -eq 0 ] && echo "package: all checks passed"
exit "$fail"
