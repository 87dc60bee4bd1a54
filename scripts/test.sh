#!/bin/sh
# Builds the program and runs every test on Qt's offscreen platform: no display needed.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh --tests
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure --timeout 900
