#include "view/objects/scroll_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(ScrollGeometry, ThumbLengthAndPlace) {
    struct Case {
        int visible, count, trackStart, trackEnd, position, barWidth;
        int length, start;
    };
    const Case cases[] = {
        {10, 20, 16, 216, 0, 16, 100, 16},      // half the content shows: half the track, at its start
        {10, 20, 16, 216, 10, 16, 100, 116},    // at the end of the content, at the track's end
        {10, 1000, 16, 216, 0, 16, 16, 16},     // shorter than a bar width: one bar width
        {10, 1000, 16, 216, 990, 16, 16, 200},  // and never drawn past the track
        {10, 80, 16, 216, 0, 16, 32, 16},       // between one and two bar widths: two bar widths
        {10, 125, 16, 216, 0, 16, 16, 16},      // exactly one bar width stays one
        {10, 62, 16, 216, 0, 16, 32, 16},       // 32.2 truncated to 32: not below two widths
        {5, 0, 16, 216, 0, 16, 200, 16},        // no content: the whole track
        {10, 20, 16, 20, 5, 16, 16, 4},         // a track shorter than the thumb: the thumb ends at its end
    };
    for (const Case& c : cases) {
        int length = ThumbLength(c.visible, c.count, c.trackEnd - c.trackStart, c.barWidth);
        EXPECT_EQ(length, c.length) << c.visible << "/" << c.count;
        EXPECT_EQ(ThumbStart(c.trackStart, c.trackEnd, c.position, c.count, length), c.start)
            << c.visible << "/" << c.count << " at " << c.position;
    }
}

TEST(ScrollGeometry, PositionsAreClamped) {
    struct Case {
        int position, count, visible, clamped;
    };
    for (Case c :
         {Case{5, 20, 10, 5}, Case{15, 20, 10, 10}, Case{-3, 20, 10, 0}, Case{4, 5, 10, 0}, Case{0, 0, 0, 0}}) {
        EXPECT_EQ(ClampScrollPosition(c.position, c.count, c.visible), c.clamped) << c.position << " " << c.count;
    }
}

}  // namespace
