#!/bin/sh
# Installs those of the Debian packages named that are missing; nothing else. One
# look into dpkg's own records when none is missing: no package list is fetched.
#   sh scripts/install-packages.sh PACKAGE...
set -eu
installed=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "$@" 2>/dev/null || true)
missing=""
for package in "$@"; do
    echo "$installed" | grep -qx "$package installed" || missing="$missing $package"
done
if [ -n "$missing" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing:$missing"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi
