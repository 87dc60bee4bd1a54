#!/bin/sh
# Installs the Debian packages the program needs (and, with --tests, those its tests
# and the package's checks need), configures build/ the first time and builds it.
# With --program it builds the program and its database tool only, not the tests;
# with --package what the Debian package holds besides (pictures, icons, pages).
# Safe to run again: it installs only what is missing and rebuilds only what changed.
set -eu
cd "$(dirname "$0")/.."

packages="cmake ninja-build g++ pkg-config qt6-base-dev libgsf-1-dev libxlsxwriter-dev libsqlite3-dev sqlite3 libpq-dev fonts-dejavu-core fonts-liberation2"
targets=""
case "${1:-}" in
    --tests)
        packages="$packages python3-xlrd python3-xlwt python3-openpyxl gnumeric postgresql dpkg-dev file lintian desktop-file-utils appstream openssl" ;;
    --program)
        targets="--target PelmarEntry pelmar-newdb" ;;
    --package)
        targets="--target PelmarEntry pelmar-newdb pelmar_pictures pelmar_icons pelmar_compressed" ;;
esac

sh scripts/install-packages.sh $packages

# Ninja sees in a fraction of a second that nothing changed. Once configured, the
# build configures itself again whenever a CMakeLists.txt changes; a build folder
# made with another generator is configured afresh (what bin/ holds stays).
if ! grep -qs '^CMAKE_GENERATOR:INTERNAL=Ninja$' build/CMakeCache.txt; then
    rm -rf build/CMakeCache.txt build/CMakeFiles
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j"$(nproc)" $targets
