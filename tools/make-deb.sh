#!/usr/bin/env bash
# Builds the Debian package of the panel PC from this tree with one command:
#     bash tools/make-deb.sh [BUILD_DIR]       (default build/deb)
# Installs what is missing first. The package, kv4panel_<version>_amd64.deb, lands in
# BUILD_DIR; its path is the last line printed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
out=${1:-build/deb}

# Debian's own compiler and linker flags (hardening included), as a Debian build would use.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=None \
    -DKV4_TESTS=OFF -DKV4_BENCH=OFF -DKV4_SANITIZE=OFF -DKV4_PACKAGE=ON
cmake --build "$out" --target kv4panel kv4_package_docs
rm -f "$out"/kv4panel_*.deb
(cd "$out" && cpack -G DEB >/dev/null)
ls "$out"/kv4panel_*_amd64.deb
