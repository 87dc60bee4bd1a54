#!/bin/sh
# Builds the program and runs every benchmark; each prints its own figures. Those
# that the program runs on a server as well run a second time on a test server.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh --tests
export QT_QPA_PLATFORM=offscreen
for bench in build/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench"
done
for bench in entry lookup export listings; do
    echo "== bench_$bench on a PostgreSQL server"
    PELMAR_TEST_ENGINE=server "build/bench/bench_$bench"
done
