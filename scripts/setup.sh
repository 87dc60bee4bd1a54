#!/bin/sh
# Installs the Debian packages the program needs (and, with --tests, those its tests
# need), then configures and builds it in build/. Safe to run again: it installs only
# what is missing and rebuilds only what changed.
set -eu
cd "$(dirname "$0")/.."

packages="cmake make g++ pkg-config qt6-base-dev libqt6sql6-sqlite libgsf-1-dev libsqlite3-dev sqlite3 libpq-dev fonts-dejavu-core fonts-liberation2"
if [ "${1:-}" = "--tests" ]; then
    packages="$packages python3-xlrd python3-xlwt gnumeric postgresql openssl"
fi

sh scripts/install-packages.sh $packages

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
