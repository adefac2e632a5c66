#!/usr/bin/env bash
# Takes the Windows screenshots: brindlewick.exe under Wine on a private X server (Xvfb), a
# synthetic cartridge image opened, its table editor on both pages, at 100 % and at 150 %.
# No real ROM is used: the image is 2 MiB of zeros with the game code "AAUE" and a few made-up
# values in the tables.
# Usage: docs/make-windows-screenshots.sh [brindlewick.exe] [folder for the PNGs]
# (defaults: build/windows/src/win32/brindlewick.exe, docs/). Writes windows-tables-*.png and
# keeps docs/windows-table-editor.png, the 100 % compatibility page, for the README.
# Needs xvfb, xdotool, imagemagick and wine.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/windows/src/win32/brindlewick.exe}")
output=$(realpath "${2:-docs}")

workDir=$(mktemp -d)
xvfbPid=""
cleanup() {
    WINEPREFIX="$workDir/prefix" wineserver -k 2>/dev/null || true
    [ -n "$xvfbPid" ] && { kill "$xvfbPid" 2>/dev/null || true; wait "$xvfbPid" 2>/dev/null || true; }
    rm -rf "$workDir"
}
trap cleanup EXIT

rom="$workDir/Gold.gbc"
python3 - "$rom" <<'PYTHON'
import random, sys
image = bytearray(2 * 1024 * 1024)
image[0x13F:0x143] = b"AAUE"
image[0x11A66] = 0xDF                                # TM01 teaches move 223
image[0x6DD2:0x6DD4] = (3000).to_bytes(2, "little")  # and costs 3000
generator = random.Random(25)
for species in range(251):                           # made-up compatibility
    at = 0x51B0B + 32 * species + 24
    image[at:at + 8] = bytes(generator.getrandbits(8) & generator.getrandbits(8) for _ in range(8))
with open(sys.argv[1], "wb") as f:
    f.write(image)
PYTHON

display=97
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfbPid=$!
export DISPLAY=":$display" WINEPREFIX="$workDir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
wineboot --init >/dev/null 2>&1
wineserver -w

shoot() { # scale name
    local dpi=$(( $1 * 96 / 100 ))
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
    wine "$program" "$(winepath -w "$rom")" >/dev/null 2>&1 &
    local main=""
    for _ in $(seq 200); do
        main=$(xdotool search --onlyvisible --name 'AAUE - Brindlewick' 2>/dev/null | head -n 1) && [ -n "$main" ] && break
        sleep 0.1
    done
    [ -n "$main" ] || { echo "the main window did not appear" >&2; exit 1; }
    xdotool windowfocus --sync "$main"; sleep 0.5
    xdotool key --window "$main" ctrl+t; sleep 2
    local editor
    editor=$(xdotool search --onlyvisible --name 'Table Editor' | head -n 1)
    [ -n "$editor" ] || { echo "the table editor did not appear" >&2; exit 1; }
    xdotool windowfocus --sync "$editor"; sleep 0.5
    # A machine's move being typed, with its completions.
    xdotool key --window "$editor" Down Down; xdotool type --window "$editor" "thun"; sleep 1
    import -window "$editor" "$workDir/machines.png"
    convert "$workDir/machines.png" -strip "$output/windows-tables-machines-$1.png"
    xdotool key --window "$editor" Escape; sleep 0.3
    # The compatibility page, with a ticked block pending.
    xdotool key --window "$editor" ctrl+f; sleep 0.5
    xdotool key --window "$editor" Tab; sleep 0.3
    xdotool key --window "$editor" shift+Down shift+Down shift+Right space; sleep 1
    import -window "$editor" "$workDir/compatibility.png"
    convert "$workDir/compatibility.png" -strip "$output/windows-tables-compatibility-$1.png"
    wineserver -k; wineserver -w || true
}

shoot 100
shoot 150
cp "$output/windows-tables-compatibility-100.png" "$output/windows-table-editor.png"
echo "wrote $output/windows-tables-*.png and $output/windows-table-editor.png"
