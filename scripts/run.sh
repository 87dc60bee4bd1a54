#!/bin/sh
# Builds the program, creates its database with sample lookup rows when there is
# none (an existing database is never touched), and starts it. A desk whose
# Pelmar.ini names a server needs no database file.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
if [ ! -e build/bin/Pelmar.mdb ] &&
    ! grep -qs '^[[:space:]]*Server[[:space:]]*=[[:space:]]*[^[:space:]]' build/bin/Pelmar.ini; then
    build/bin/pelmar-newdb --samples build/bin/Pelmar.mdb
fi
exec build/bin/PelmarEntry
