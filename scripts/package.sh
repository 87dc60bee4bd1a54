#!/bin/sh
# Builds the Debian package of the program, build/pelmarentry_<version>_<arch>.deb,
# with the dependencies that dpkg-shlibdeps finds for it.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh --package
sh scripts/install-packages.sh dpkg-dev file
cd build
cpack -G DEB
