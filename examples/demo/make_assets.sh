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
# The Skins page's scroll-bar skin: 19 tiles of 18 x 18 (arrows, pressed arrows, thumb caps,
# middles and short forms, the two tracks, the corner), in greens.
skin=()
for i in 0 1 2 3 4 5 6 7; do
    dir=$((i / 2)); pressed=$((i % 2))
    fill=$([ $pressed -eq 1 ] && echo '#2f7d4f' || echo '#48a86c')
    case $dir in
        0) arrow='polygon 9,4 14,12 4,12' ;;
        1) arrow='polygon 9,14 14,6 4,6' ;;
        2) arrow='polygon 4,9 12,4 12,14' ;;
        3) arrow='polygon 14,9 6,4 6,14' ;;
    esac
    convert -size 18x18 xc:"$fill" -fill '#e8ffe8' -draw "$arrow" "tile$i.png"; skin+=("tile$i.png")
done
for i in 8 9 10 11 12 13 14 15; do
    convert -size 18x18 xc:'#1f5f3a' -fill '#7fd09a' -draw 'roundrectangle 3,3 14,14 3,3' "tile$i.png"; skin+=("tile$i.png")
done
convert -size 18x18 xc:'#cfe8d6' -fill '#b8dcc3' -draw 'rectangle 8,0 9,17' tile16.png; skin+=(tile16.png)
convert -size 18x18 xc:'#cfe8d6' -fill '#b8dcc3' -draw 'rectangle 0,8 17,9' tile17.png; skin+=(tile17.png)
convert -size 18x18 xc:'#1f5f3a' tile18.png; skin+=(tile18.png)
convert "${skin[@]}" +append -depth 8 PNG24:../plugins/sb_demo.png
rm -f "${skin[@]}"
# The intro picture, which a click or a key skips.
convert -size 480x270 gradient:'#1c2a48'-'#3b5a94' -fill white -font Liberation-Sans-Bold -pointsize 40 \
    -gravity center -annotate +0-20 'Vantorix Demo' -fill '#c8d4ea' -font Liberation-Sans -pointsize 18 \
    -annotate +0+40 'Click or press a key to begin' intro.png
# The Video page's movie: ffmpeg's test pattern with a tone, four seconds of MPEG-1.
ffmpeg -loglevel error -y -f lavfi -i "testsrc=size=240x180:rate=25:duration=4" -f lavfi -i "sine=frequency=523:duration=4" \
    -c:v mpeg1video -q:v 8 -c:a mp2 -b:a 64k -shortest film.mpg
# The skinned video controller: 15 cells of 16 x 16 (Play, Pause and Stop each normal, hot and
# pressed; the slider's track ends and middle; its thumb normal, hot and pressed), in oranges.
cells=()
for button in 0 1 2; do
    case $button in
        0) glyph='polygon 5,4 12,8 5,12' ;;
        1) glyph='rectangle 4,4 6,12 rectangle 9,4 11,12' ;;
        2) glyph='rectangle 4,4 11,11' ;;
    esac
    for look in 0 1 2; do
        back=$([ $look -eq 0 ] && echo '#b05a10' || ([ $look -eq 1 ] && echo '#e07a20' || echo '#7a3a08'))
        convert -size 16x16 xc:"$back" -fill '#fff2e0' -draw "$glyph" "cell$button$look.png"
        cells+=("cell$button$look.png")
    done
done
convert -size 16x16 xc:none -fill '#5a2e08' -draw 'roundrectangle 2,6 18,9 2,2' track0.png
convert -size 16x16 xc:none -fill '#5a2e08' -draw 'rectangle 0,6 15,9' track1.png
convert -size 16x16 xc:none -fill '#5a2e08' -draw 'roundrectangle -3,6 13,9 2,2' track2.png
convert -size 16x16 xc:none -fill '#e07a20' -draw 'circle 8,8 8,2' thumb0.png
convert -size 16x16 xc:none -fill '#ffa040' -draw 'circle 8,8 8,2' thumb1.png
convert -size 16x16 xc:none -fill '#7a3a08' -draw 'circle 8,8 8,2' thumb2.png
cells+=(track0.png track1.png track2.png thumb0.png thumb1.png thumb2.png)
convert "${cells[@]}" +append -depth 8 PNG32:../plugins/vt_demo.png
rm -f "${cells[@]}"
