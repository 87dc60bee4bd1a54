#!/bin/sh
# Builds the program, creates its database with sample lookup rows when there is
# none (an existing database is never touched), and starts it.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
if [ ! -e build/bin/Pelmar.mdb ]; then
    build/bin/pelmar-newdb --samples build/bin/Pelmar.mdb
fi
exec build/bin/PelmarEntry
