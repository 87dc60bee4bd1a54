#!/bin/sh
# Builds the program where something changed and starts it. It works on build/bin/
# where that holds Pelmar.mdb or Pelmar.ini (a desk set up before), otherwise on
# PelmarEntry in the documents folder, where its first start offers a new database.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh --program
exec build/bin/PelmarEntry
