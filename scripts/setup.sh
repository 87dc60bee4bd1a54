#!/bin/sh
# Installs the Debian packages the program needs (and, with --tests, those its tests
# and the package's checks need), configures build/ the first time and builds it.
# With --program it builds the program and its database tool only, not the tests.
# Safe to run again: it installs only what is missing and rebuilds only what changed.
set -eu
cd "$(dirname "$0")/.."

packages="cmake make g++ pkg-config qt6-base-dev libqt6sql6-sqlite libgsf-1-dev libsqlite3-dev sqlite3 libpq-dev fonts-dejavu-core fonts-liberation2"
targets=""
case "${1:-}" in
    --tests)
        packages="$packages python3-xlrd python3-xlwt gnumeric postgresql dpkg-dev file lintian desktop-file-utils appstream" ;;
    --program)
        targets="--target PelmarEntry pelmar-newdb" ;;
esac

sh scripts/install-packages.sh $packages

# Once configured, the build configures itself again whenever a CMakeLists.txt changes.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" $targets
