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
for needed in "libqt6widgets6 (>=" "libpq5 (>=" "libgsf-1-114 (>=" "libsqlite3-0 (>="; do
    case "$depends" in *"$needed"*) ;; *) fail "Depends lacks $needed: $depends" ;; esac
done

# Everything lies under /usr but the office's setting, and belongs to root; only the
# programs are executable.
dpkg-deb -c "$deb" | awk '
    $2 != "root/root" { print "not owned by root: " $6; bad = 1 }
    $6 !~ /^\.\/(usr\/|etc\/$|etc\/pelmarentry\/)/ { print "outside /usr: " $6; bad = 1 }
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

# The office's setting is the package's one conffile. Installed into a dpkg database
# of the test's own (which needs root), an administrator's change to it survives the
# package installed again as an upgrade installs it; remove keeps it, and purge then
# finds the package and takes the setting away.
[ "$(dpkg-deb -I "$deb" conffiles)" = "/etc/pelmarentry/Pelmar.ini" ] ||
    fail "the conffiles are: $(dpkg-deb -I "$deb" conffiles 2>&1)"
if [ "$(id -u)" = 0 ]; then
    system="$out/system"
    mkdir -p "$system/var/lib/dpkg/info" "$system/var/lib/dpkg/updates" "$system/var/log"
    touch "$system/var/lib/dpkg/status"
    installed() { dpkg --root="$system" --force-depends "$@" >>"$out/dpkg.log" 2>&1 ||
        { cat "$out/dpkg.log"; fail "dpkg $* failed"; }; }
    setting="$system/etc/pelmarentry/Pelmar.ini"
    installed -i "$deb"
    printf '[Database]\nServer=host=office dbname=pelmar\n' >"$setting"
    installed -i "$deb"
    grep -q '^Server=host=office' "$setting" || fail "installing again replaced the office's setting"
    installed -r pelmarentry
    [ -f "$setting" ] && [ ! -e "$system/usr/bin/PelmarEntry" ] ||
        fail "remove did not keep the setting alone"
    installed -P pelmarentry
    [ ! -e "$setting" ] || fail "purge left the office's setting"
    ! dpkg --root="$system" -s pelmarentry >/dev/null 2>&1 || fail "purge left the package known"
fi

# Debian's own checks, down to their hints; the package's overrides name the few
# tags that the README explains.
report=$(lintian --fail-on error,warning,info,pedantic --display-info --pedantic "$deb" 2>&1) ||
    { echo "$report"; fail "lintian found fault with the package"; }
echo "pelmarentry_${version} checked"
