#!/bin/sh
# The rooms of app/ are used one way: the process shell at the top uses panel/, remote/ and
# service/; remote/ uses panel/ (what it offers an operator, and the wait it keeps); panel/ and
# service/ use no other room and not the shell. Below app/, no layer includes it.
#     app-rooms.sh SOURCE_DIR
set -u
src=$1
fail=0
shell='app/[A-Za-z]+\.h'
for room in panel remote service; do
    ls "$src/app/$room"/*.h >/dev/null 2>&1 || { echo "FAIL no room app/$room"; exit 1; }
done
forbid() {  # where (files), pattern, what it must not include
    where=$1
    hits=$(grep -n -E "#include \"($2)" $where 2>/dev/null)
    if [ -n "$hits" ]; then
        echo "FAIL $3:"
        echo "$hits"
        fail=1
    else
        echo "ok   $3"
    fi
}
forbid "$src/app/panel/*" "app/remote/|app/service/|$shell" \
    "app/panel includes nothing of the remote line, the service tools or the shell"
forbid "$src/app/remote/*" "app/service/|$shell" \
    "app/remote includes nothing of the service tools or the shell"
forbid "$src/app/service/*" "app/panel/|app/remote/|$shell" \
    "app/service includes nothing of the panel, the remote line or the shell"
forbid "$(find "$src/link" "$src/platform" "$src/widgets" "$src/dialogs" "$src/sim" -name '*.[ch]*')" \
    "app/" "no layer below app/ includes it"
exit $fail
