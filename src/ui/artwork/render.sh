#!/usr/bin/env bash
# Renders the PNGs of this folder from their SVG sources. Run it after changing an SVG and
# commit both. Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert, and the
# "DejaVu Sans" font for the banner text.
set -euo pipefail
cd "$(dirname "$0")"

# Renders $1 at $3 x $4 pixels into $2.
render() {
    rsvg-convert --width "$3" --height "$4" "$1" --output "$2"
}

# The banner and the About picture are opaque: store them as plain 24-bit RGB, without the
# timestamps ImageMagick would otherwise write, so that rendering twice gives the same bytes.
render_opaque() {
    render "$@"
    convert "$2" -alpha off -strip -define png:color-type=2 "$2"
}

# The banner is decoded at every start: as a binary PPM it decodes in a fifth of the time of a
# PNG, and the resource compiler compresses it as well as PNG does.
render_opaque banner.svg banner.png 547 115
render_opaque banner.svg banner@2x.png 1094 230
for picture in banner banner@2x; do
    convert "${picture}.png" -strip "${picture}.ppm"
    rm "${picture}.png"
done
render_opaque about.svg about.png 62 121
render_opaque about.svg about@2x.png 124 242

for size in 16 24; do
    render icon-small.svg "icon-${size}.png" "$size" "$size"
done
for size in 32 48 64 128 256; do
    render icon.svg "icon-${size}.png" "$size" "$size"
done

# The Windows program keeps its pictures as PPM resources and its icon as one .ico file of the
# same renderings.
windows=../../win32/artwork
for picture in about about@2x; do
    convert "${picture}.png" -strip -depth 8 "${windows}/${picture}.ppm"
done
convert icon-16.png icon-24.png icon-32.png icon-48.png icon-64.png icon-256.png \
    "${windows}/brindlewick.ico"
