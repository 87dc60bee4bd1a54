#!/bin/sh
# Builds the Debian package from a build folder, as scripts/package.sh does, and
# checks it as a desk's apt-get and a desktop meet it: its name and version, the
# dependencies dpkg-shlibdeps found, that its files fit together, and lintian.
#   sh tests/package.sh BUILD_FOLDER VERSION APP_ID
set -eu
build=$1 version=$2 id=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; fail "cpack could not build the package"; }
deb="$out/pelmarentry_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb among: $(ls "$out")"

# The version is the build's own; the libraries come from dpkg-shlibdeps (with the
# lowest versions it found), and the SQLite driver, which Qt loads by name, is named.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in "libqt6widgets6 (>=" "libqt6sql6 (>=" "libpq5 (>=" "libgsf-1-114 (>=" \
    "libsqlite3-0 (>=" "libqt6sql6-sqlite"; do
    case "$depends" in *"$needed"*) ;; *) fail "Depends lacks $needed: $depends" ;; esac
done

# Everything lies under /usr and belongs to root; only the programs are executable.
dpkg-deb -c "$deb" | awk '
    $2 != "root/root" { print "not owned by root: " $6; bad = 1 }
    $6 !~ /^\.\/usr\// { print "outside /usr: " $6; bad = 1 }
    /^-/ && ($1 ~ /x/) != ($6 ~ /^\.\/usr\/bin\//) { print "mode " $1 ": " $6; bad = 1 }
    END { exit bad }' || fail "the package's files are laid out wrongly"

# What the desktop looks up by name is there: the desktop entry's program and icon,
# the metainfo's launchable, a manual page for every program.
dpkg-deb -x "$deb" "$out/root"
share="$out/root/usr/share"
entry="$share/applications/$id.desktop"
[ -f "$entry" ] || fail "no desktop entry $id.desktop"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$out/root/usr/bin/$program" ] || fail "the desktop entry starts $program, which is not installed"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$share/icons/hicolor/256x256/apps/$icon.png" ] || fail "no icon $icon at 256 pixels"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$share/metainfo/$id.metainfo.xml" || fail "the metainfo does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo's release is not $version"
for program in "$out"/root/usr/bin/*; do
    page="$share/man/man1/$(basename "$program").1.gz"
    [ -f "$page" ] || fail "no manual page for $(basename "$program")"
    zcat "$page" | grep -q "^\.TH .* \"PelmarEntry $version\"" || fail "$page is not of $version"
done

# Debian's own checks, down to their hints; the package's overrides name the few
# tags that the README explains.
report=$(lintian --fail-on error,warning,info,pedantic --display-info --pedantic "$deb" 2>&1) ||
    { echo "$report"; fail "lintian found fault with the package"; }
echo "pelmarentry_${version} checked"
