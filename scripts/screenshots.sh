#!/bin/sh
# Retakes the README's pictures of the program: a private X server with a window
# manager (Xvfb and openbox), the program run on a copy of itself with a fresh
# database of sample rows, driven by its menu and keyboard through xdotool.
#   sh scripts/screenshots.sh        (after scripts/setup.sh has built the program)
# Writes docs/screenshots/details-window.png and docs/screenshots/lookup-editor.png.
set -eu
cd "$(dirname "$0")/.."
out=docs/screenshots
size=1280x1024

sh scripts/install-packages.sh xvfb openbox x11-utils xdotool imagemagick

# The program in a folder of its own: the operator's database is never touched.
folder=$(mktemp -d)
display=""
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
    [ -n "${xserver:-}" ] && kill "$xserver" 2>/dev/null
    rm -rf "$folder"
}
trap cleanup EXIT
cp build/bin/PelmarEntry build/share/pelmarentry/head1.jpg build/share/pelmarentry/head2.jpg "$folder"/
build/bin/pelmar-newdb --samples "$folder"/Pelmar.mdb >/dev/null

for d in $(seq 91 140); do
    if [ ! -e /tmp/.X11-unix/X$d ] && [ ! -e /tmp/.X$d-lock ]; then display=:$d; break; fi
done
Xvfb "$display" -screen 0 ${size}x24 -nolisten tcp >/dev/null 2>&1 & xserver=$!
sleep 1
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
openbox --sm-disable >/dev/null 2>&1 & wm=$!
# The pictures show the frame as a window manager draws it: wait until one runs.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done

# Starts the program and waits for its frame.
start() {
    "$folder"/PelmarEntry >/dev/null 2>&1 & app=$!
    xdotool search --sync --name "Pelmar - Listora" >/dev/null
    sleep 1.5
}
stop() {
    kill "$app"; wait "$app" 2>/dev/null || true; app=""
}
keys() { xdotool key --delay 60 "$@"; sleep 0.4; }
type() { xdotool type --delay 30 "$1"; }
shot() {
    import -window root "$folder/shot.png"
    # A palette of 256 colours keeps the pictures small.
    convert "$folder/shot.png" -strip -colors 256 "PNG8:$out/$1"
}

# A listing on its way to the details window.
start
keys alt Right Return
type "NSW"; keys Return
type "SYDNEY MORNING HERALD"; keys Return
type "05/06/24"; keys Return Return
sleep 1
for field in "2" "14" "Harbour Street" "Mosman"; do type "$field"; keys Return; done
keys Down Down Down Down Return
type "Ray White"; keys Return
type "A"; keys Return
type "Road"; keys Return
type "North"; keys Return Return
sleep 1.5
keys Down Down Down Tab
for field in "1250000" "1300000" "Offers over 1.2m"; do type "$field"; keys Return; done
for field in "" "" "" "4" "180" "2"; do type "$field"; keys Return; done
shot details-window.png
stop

# The publication editor with its list.
start
keys alt Down Up Return
type "the a"
shot lookup-editor.png
stop
echo "Written: $out/details-window.png $out/lookup-editor.png"
