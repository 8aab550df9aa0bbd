#!/usr/bin/python3
"""Makes the project's two TrueType fonts:

  tests/fixtures/fonts/vantorix-test-boxes.ttf  "Vantorix Test Boxes", a face no system has, every
                                                character a solid box, for tests that look at text
                                                by its pixels
  examples/demo/fonts/vantorix-pixel.ttf        "Vantorix Pixel", a 5 x 7 pixel font for the demo

Run from the repository root (needs fontTools: apt install python3-fonttools):

  /usr/bin/python3 tools/fonts/make_fonts.py

The fonts are committed. Every run writes the same bytes, so run this again only after changing it.
"""

from pathlib import Path

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

ROOT = Path(__file__).resolve().parents[2]

# Both fonts share one cell: 1000 units to the em, every glyph 600 wide, 800 above the baseline and
# 200 below it.
UNITS_PER_EM = 1000
ADVANCE = 600
ASCENT = 800
DESCENT = -200
# 2026-01-01 00:00 UTC in the font's clock (seconds since 1904), so that the output never changes.
TIMESTAMP = 3850070400
VERSION = "1.000"
COPYRIGHT = "Copyright (c) 2026 The Vantorix Player developers"
LICENCE = "MIT License, see LICENSE in the Vantorix Player sources"


def rect(pen, x0, y0, x1, y1):
    """Adds a rectangle as one clockwise contour, the direction that TrueType fills."""
    pen.moveTo((x0, y0))
    pen.lineTo((x0, y1))
    pen.lineTo((x1, y1))
    pen.lineTo((x1, y0))
    pen.closePath()


def draw_notdef(pen):
    """A hollow box: the inner contour runs the other way, which cuts the hole."""
    rect(pen, 50, 0, 550, 700)
    pen.moveTo((150, 100))
    pen.lineTo((450, 100))
    pen.lineTo((450, 600))
    pen.lineTo((150, 600))
    pen.closePath()


def outline(paint):
    pen = TTGlyphPen(None)
    paint(pen)
    return pen.glyph()


def build_font(family, chars, draw):
    """Builds a Regular TrueType font named `family` with a glyph for each of `chars`, whose outline
    draw(pen, char) adds to a TTGlyphPen."""
    ps_name = family.replace(" ", "") + "-Regular"
    names = {ch: "uni%04X" % ord(ch) for ch in chars}
    glyphs = {".notdef": outline(draw_notdef)}
    for ch in chars:
        glyphs[names[ch]] = outline(lambda pen: draw(pen, ch))

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(list(glyphs))
    fb.setupCharacterMap({ord(ch): name for ch, name in names.items()})
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (ADVANCE, getattr(g, "xMin", 0))
                               for name, g in glyphs.items()})
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT, lineGap=0)
    fb.setupNameTable({
        "copyright": COPYRIGHT,
        "familyName": family,
        "styleName": "Regular",
        "uniqueFontIdentifier": "%s;%s" % (VERSION, ps_name),
        "fullName": family + " Regular",
        "version": "Version " + VERSION,
        "psName": ps_name,
        "licenseDescription": LICENCE,
    })
    fb.setupOS2(
        version=4,
        fsType=0,  # installable: no embedding restrictions
        fsSelection=0x40 | 0x80,  # Regular, and line spacing from the typo metrics
        sTypoAscender=ASCENT,
        sTypoDescender=DESCENT,
        sTypoLineGap=0,
        usWinAscent=ASCENT,
        usWinDescent=-DESCENT,
        sxHeight=glyphs[names["x"]].yMax,
        sCapHeight=glyphs[names["H"]].yMax,
        ulCodePageRange1=1,  # Latin 1
    )
    fb.setupPost(keepGlyphNames=False, isFixedPitch=1,
                 underlinePosition=-100, underlineThickness=50)
    fb.updateHead(fontRevision=float(VERSION), created=TIMESTAMP, modified=TIMESTAMP)
    return fb.font


def draw_box(pen, ch):
    if ch != " ":
        rect(pen, 50, 0, 550, 700)


# The pixel font's glyphs, 5 pixels wide and 9 high: the first seven rows stand on the baseline,
# the last two hang below it. Space is left out: it has no pixels.
PIXEL_TABLE = r"""
  !     "     #     $     %     &     '     (     )     *     +     ,
..#.. .#.#. .#.#. ..#.. ##... .##.. ..#.. ...#. .#... ..... ..... .....
..#.. .#.#. .#.#. .#### ##..# #..#. ..#.. ..#.. ..#.. ..#.. ..#.. .....
..#.. .#.#. ##### #.#.. ...#. #.#.. .#... .#... ...#. #.#.# ..#.. .....
..#.. ..... .#.#. .###. ..#.. .#... ..... .#... ...#. .###. ##### .....
..#.. ..... ##### ..#.# .#... #.#.# ..... .#... ...#. #.#.# ..#.. .....
..... ..... .#.#. ####. #..## #..#. ..... ..#.. ..#.. ..#.. ..#.. .##..
..#.. ..... .#.#. ..#.. ...## .##.# ..... ...#. .#... ..... ..... .##..
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..#..
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .#...

  -     .     /     0     1     2     3     4     5     6     7     8
..... ..... ..... .###. ..#.. .###. ##### ...#. ##### ..##. ##### .###.
..... ..... ....# #...# .##.. #...# ...#. ..##. #.... .#... ....# #...#
..... ..... ...#. #..## ..#.. ....# ..#.. .#.#. ####. #.... ...#. #...#
##### ..... ..#.. #.#.# ..#.. ...#. ...#. #..#. ....# ####. ..#.. .###.
..... ..... .#... ##..# ..#.. ..#.. ....# ##### ....# #...# .#... #...#
..... .##.. #.... #...# ..#.. .#... #...# ...#. #...# #...# .#... #...#
..... .##.. ..... .###. .###. ##### .###. ...#. .###. .###. .#... .###.
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

  9     :     ;     <     =     >     ?     @     A     B     C     D
.###. ..... ..... ...#. ..... .#... .###. .###. .###. ####. .###. ###..
#...# .##.. .##.. ..#.. ..... ..#.. #...# #...# #...# #...# #...# #..#.
#...# .##.. .##.. .#... ##### ...#. ....# ....# #...# #...# #.... #...#
.#### ..... ..... #.... ..... ....# ...#. .##.# ##### ####. #.... #...#
....# ..... ..... .#... ##### ...#. ..#.. #.#.# #...# #...# #.... #...#
...#. .##.. .##.. ..#.. ..... ..#.. ..... #.#.# #...# #...# #...# #..#.
.##.. .##.. .##.. ...#. ..... .#... ..#.. .###. #...# ####. .###. ###..
..... ..... ..#.. ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... .#... ..... ..... ..... ..... ..... ..... ..... ..... .....

  E     F     G     H     I     J     K     L     M     N     O     P
##### ##### .###. #...# .###. ..### #...# #.... #...# #...# .###. ####.
#.... #.... #...# #...# ..#.. ...#. #..#. #.... ##.## #...# #...# #...#
#.... #.... #.... #...# ..#.. ...#. #.#.. #.... #.#.# ##..# #...# #...#
####. ####. #.### ##### ..#.. ...#. ##... #.... #.#.# #.#.# #...# ####.
#.... #.... #...# #...# ..#.. ...#. #.#.. #.... #...# #..## #...# #....
#.... #.... #...# #...# ..#.. #..#. #..#. #.... #...# #...# #...# #....
##### #.... .#### #...# .###. .##.. #...# ##### #...# #...# .###. #....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

  Q     R     S     T     U     V     W     X     Y     Z     [     \
.###. ####. .#### ##### #...# #...# #...# #...# #...# ##### .###. .....
#...# #...# #.... ..#.. #...# #...# #...# #...# #...# ....# .#... #....
#...# #...# #.... ..#.. #...# #...# #...# .#.#. #...# ...#. .#... .#...
#...# ####. .###. ..#.. #...# #...# #.#.# ..#.. .#.#. ..#.. .#... ..#..
#.#.# #.#.. ....# ..#.. #...# #...# #.#.# .#.#. ..#.. .#... .#... ...#.
#..#. #..#. ....# ..#.. #...# .#.#. #.#.# #...# ..#.. #.... .#... ....#
.##.# #...# ####. ..#.. .###. ..#.. .#.#. #...# ..#.. ##### .###. .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

  ]     ^     _     `     a     b     c     d     e     f     g     h
.###. ..#.. ..... .#... ..... #.... ..... ....# ..... ..##. ..... #....
...#. .#.#. ..... ..#.. ..... #.... ..... ....# ..... .#..# ..... #....
...#. #...# ..... ...#. .###. ####. .###. .#### .###. .#... .#### ####.
...#. ..... ..... ..... ....# #...# #.... #...# #...# ###.. #...# #...#
...#. ..... ..... ..... .#### #...# #.... #...# ##### .#... #...# #...#
...#. ..... ..... ..... #...# #...# #...# #...# #.... .#... #...# #...#
.###. ..... ..... ..... .#### ####. .###. .#### .###. .#... .#### #...#
..... ..... ##### ..... ..... ..... ..... ..... ..... ..... ....# .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .###. .....

  i     j     k     l     m     n     o     p     q     r     s     t
..#.. ...#. #.... .##.. ..... ..... ..... ..... ..... ..... ..... .#...
..... ..... #.... ..#.. ..... ..... ..... ..... ..... ..... ..... .#...
.##.. ..##. #..#. ..#.. ##.#. ####. .###. ####. .#### #.##. .#### ###..
..#.. ...#. #.#.. ..#.. #.#.# #...# #...# #...# #...# ##..# #.... .#...
..#.. ...#. ##... ..#.. #.#.# #...# #...# #...# #...# #.... .###. .#...
..#.. ...#. #.#.. ..#.. #.#.# #...# #...# #...# #...# #.... ....# .#..#
.###. ...#. #..#. .###. #...# #...# .###. ####. .#### #.... ####. ..##.
..... #..#. ..... ..... ..... ..... ..... #.... ....# ..... ..... .....
..... .##.. ..... ..... ..... ..... ..... #.... ....# ..... ..... .....

  u     v     w     x     y     z     {     |     }     ~
..... ..... ..... ..... ..... ..... ...#. ..#.. .#... .....
..... ..... ..... ..... ..... ..... ..#.. ..#.. ..#.. .....
#...# #...# #...# #...# #...# ##### ..#.. ..#.. ..#.. .#...
#...# #...# #...# .#.#. #...# ...#. .#... ..#.. ...#. #.#.#
#...# #...# #.#.# ..#.. #...# ..#.. ..#.. ..#.. ..#.. ...#.
#..## .#.#. #.#.# .#.#. #...# .#... ..#.. ..#.. ..#.. .....
.##.# ..#.. .#.#. #...# .#### ##### ...#. ..#.. .#... .....
..... ..... ..... ..... ....# ..... ..... ..... ..... .....
..... ..... ..... ..... .###. ..... ..... ..... ..... .....
"""

PIXEL = 100


def parse_pixel_table(text):
    """Returns {char: [row, ...]} from blocks of a line of characters above their nine rows."""
    glyphs = {}
    for block in text.strip("\n").split("\n\n"):
        header, *rows = block.split("\n")
        chars = header.split()
        cells = [row.split() for row in rows]
        assert len(rows) == 9 and all(len(c) == len(chars) for c in cells), header
        for i, ch in enumerate(chars):
            glyphs[ch] = [c[i] for c in cells]
    return glyphs


PIXEL_GLYPHS = parse_pixel_table(PIXEL_TABLE)


def draw_pixels(pen, ch):
    """Each run of lit pixels in a row becomes one rectangle. The cell starts 50 units in, like the
    boxes, so the gap between letters is split over both sides."""
    for r, row in enumerate(PIXEL_GLYPHS.get(ch, [])):
        top = (7 - r) * PIXEL
        c = 0
        while c < len(row):
            if row[c] == "#":
                start = c
                while c < len(row) and row[c] == "#":
                    c += 1
                rect(pen, 50 + start * PIXEL, top - PIXEL, 50 + c * PIXEL, top)
            else:
                c += 1


def main():
    latin = [chr(c) for c in range(0x20, 0x7F)]
    fonts = [
        ("tests/fixtures/fonts/vantorix-test-boxes.ttf", "Vantorix Test Boxes",
         latin + [chr(c) for c in range(0xA0, 0x100)], draw_box),
        ("examples/demo/fonts/vantorix-pixel.ttf", "Vantorix Pixel", latin, draw_pixels),
    ]
    for path, family, chars, draw in fonts:
        out = ROOT / path
        out.parent.mkdir(parents=True, exist_ok=True)
        build_font(family, chars, draw).save(str(out))
        print(out.relative_to(ROOT))


if __name__ == "__main__":
    main()
