#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window under a private X server (Xvfb) with a synthetic
# cartridge image opened. No real ROM is used: the image is 2 MiB of zeros with the game code
# "AAUE" in its header and a few made-up values in the tables.
# Usage: docs/make-screenshot.sh [path of the brindlewick program] (default: build/default/...)
# Needs xvfb, xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/default/src/app/brindlewick}")
output=$PWD/docs/screenshot.png

workDir=$(mktemp -d)
xvfbPid=""
programPid=""
cleanup() {
    local pid
    for pid in $programPid $xvfbPid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$workDir"
}
trap cleanup EXIT

rom="$workDir/Gold.gbc"
python3 - "$rom" <<'EOF'
import sys
image = bytearray(2 * 1024 * 1024)
image[0x13F:0x143] = b"AAUE"
image[0x11A66] = 0xDF                       # TM01 teaches move 223
image[0x6DD2:0x6DD4] = (3000).to_bytes(2, "little")  # and costs 3000
image[0x51B0B + 24:0x51B0B + 32] = bytes([0xA4, 0x03, 0x38, 0x10, 0x00, 0x0C, 0x40, 0x01])
with open(sys.argv[1], "wb") as f:
    f.write(image)
EOF

# Pick a display number nobody uses.
display=97
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfbPid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done

mkdir -p "$workDir/home"
HOME="$workDir/home" "$program" >"$workDir/program.log" 2>&1 &
programPid=$!

# Wait for the main window, then open the image through the File menu's shortcut.
window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Brindlewick$' 2>/dev/null | head -n 1) && \
        [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the main window did not appear" >&2; cat "$workDir/program.log" >&2; exit 1; }
# Without a window manager the window must be given the keyboard focus by hand.
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --window "$window" ctrl+o
sleep 1.5
xdotool type --delay 20 "$rom"
xdotool key Return
sleep 1.5

window=$(xdotool search --onlyvisible --name 'AAUE - Brindlewick' | head -n 1)
[ -n "$window" ] || { echo "the image was not opened" >&2; exit 1; }
import -window "$window" "$workDir/shot.png"
convert "$workDir/shot.png" -strip "$output"
echo "wrote $output"
