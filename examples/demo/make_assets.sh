#!/usr/bin/env bash
# Draws the demo menu's pictures with ImageMagick. The results are committed; run this again only
# to change them.
set -euo pipefail
cd "$(dirname "$0")/assets"
# A tile for tiled backgrounds.
convert -size 32x32 xc:'#2b3d5c' -fill '#34496d' -draw 'rectangle 0,0 15,15' -draw 'rectangle 16,16 31,31' tile.png
# An emblem on white: the white turns transparent through the image's colour key.
convert -size 120x120 xc:white -fill '#e0a020' -draw 'circle 60,60 60,8' \
    -fill '#b03010' -draw 'polygon 60,22 92,92 28,92' -fill white -draw 'circle 60,70 60,58' emblem.png
# A smooth picture shown faded.
convert -size 160x120 gradient:'#40c0ff'-'#104070' -fill '#ffffff' -draw 'circle 110,40 110,22' \
    -fill '#1f6f3f' -draw 'polygon 0,120 60,55 120,120' -draw 'polygon 60,120 120,70 160,105 160,120' landscape.png
# A backdrop stretched over a page, as a JPEG.
convert -size 320x240 gradient:'#fff4d6'-'#e8b86a' -quality 85 backdrop.jpg
