#!/bin/sh
# The installed manual pages against what the programs use: every option of their
# --help, every file that PelmarEntry's --help names, and every file name written in
# the program's sources, appears in its page.
#   sh tests/manpages.sh PREFIX SOURCE_FOLDER
set -eu
prefix=$1 source=$2
status=0
page() { zcat "$prefix/share/man/man1/$1.1.gz" | sed 's/\\-/-/g; s/\\(em/-/g'; }
lacks() { echo "FAIL: $1(1) does not name $2"; status=1; }

for program in PelmarEntry pelmar-newdb; do
    text=$(page "$program")
    for option in $("$prefix/bin/$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
        case "$text" in *"$option"*) ;; *) lacks "$program" "$option" ;; esac
    done
done

text=$(page PelmarEntry)
files=$( ("$prefix/bin/PelmarEntry" --help; grep -rhoE '"[^"]*\.(mdb|ini|json|xls|jpg)"' "$source/src") |
    grep -oE '[A-Za-z0-9_/-]*[A-Za-z0-9]\.(mdb|ini|json|xls|jpg)' | sed 's|^.*/\([^/]*\)$|\1|' | sort -u)
[ -n "$files" ] || { echo "FAIL: no file names found"; exit 1; }
for file in $files; do
    case "$text" in *"$file"*) ;; *) lacks PelmarEntry "$file" ;; esac
done
case "$text" in *"/etc/pelmarentry/Pelmar.ini"*) ;; *) lacks PelmarEntry /etc/pelmarentry/Pelmar.ini ;; esac
exit $status
