#!/bin/sh
# Builds the program and runs every benchmark; each prints its own figures.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh --tests
export QT_QPA_PLATFORM=offscreen
for bench in build/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench"
done
