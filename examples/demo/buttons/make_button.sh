#!/bin/sh
# Draws the six state pictures of the demo button (160x40, rounded, transparent corners) with
# ImageMagick. Pack them with the manifest into a button file:
#   vxtool btn manifest.xml -o demo.btn up_normal.png up_highlight.png up_disabled.png \
#       down_normal.png down_highlight.png down_disabled.png
set -eu
cd "$(dirname "$0")"

command -v convert >/dev/null 2>&1 || { echo "make_button.sh: ImageMagick's convert is needed" >&2; exit 1; }

# draw NAME FILL BORDER: a rounded rectangle with a lighter top half for some depth.
draw() {
    convert -size 160x40 xc:none \
        -fill "$2" -stroke "$3" -strokewidth 2 -draw "roundrectangle 1,1 158,38 10,10" \
        -fill "rgba(255,255,255,0.18)" -stroke none -draw "roundrectangle 4,4 155,19 7,7" \
        -strip -define png:color-type=6 "$1"
}

draw up_normal.png      "#2f6fb8" "#1d4a7d"
draw up_highlight.png   "#4a8fdc" "#2a62a0"
draw up_disabled.png    "#9aa3ad" "#7a828b"
draw down_normal.png    "#1f4f88" "#12325a"
draw down_highlight.png "#2d68ad" "#1a4476"
draw down_disabled.png  "#7d858e" "#60676f"
