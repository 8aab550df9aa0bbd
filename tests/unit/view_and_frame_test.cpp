#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "view/cis_image_ex.h"

namespace {

TEST(WindowShape, BlackPixelsMakeTheShape) {
    // A 4 x 2 mask: black runs at x 1-2 on row 0 and at x 0 and 3 on row 1; grey is not black.
    CISImageEx mask;
    ASSERT_EQ(mask.Allocate(4, 2, 24), 0);
    const std::uint8_t rows[2][12] = {{255, 255, 255, 0, 0, 0, 0, 0, 0, 1, 1, 1},
                                      {0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0}};
    for (int y = 0; y < 2; ++y) std::copy(rows[y], rows[y] + 12, mask.Pixels() + y * mask.RowBytes());
    QRegion shape = ShapeOfMask(mask);
    struct Case {
        int x, y;
        bool inside;
    };
    for (Case c : {Case{0, 0, false}, Case{1, 0, true}, Case{2, 0, true}, Case{3, 0, false}, Case{0, 1, true},
                   Case{1, 1, false}, Case{2, 1, false}, Case{3, 1, true}}) {
        EXPECT_EQ(shape.contains(QPoint(c.x, c.y)), c.inside) << c.x << "," << c.y;
    }
    CISImageEx empty;
    EXPECT_TRUE(ShapeOfMask(empty).isEmpty());
}

}  // namespace

#include "view/px_runtime_view.h"

namespace {

TEST(AudioEvents, PrefixNamesTheState) {
    struct Case {
        int state;
        const char* word;
    };
    for (Case c : {Case{0, "Finish"}, Case{1, "Pause"}, Case{2, "Play"}, Case{3, "Stop"}, Case{7, ""}, Case{-1, ""}}) {
        EXPECT_EQ(AudioEventPrefix("Home", 5, c.state),
                  std::string("local this=\"Home\";local e_Channel=5;local e_State=\"") + c.word + "\"")
            << c.state;
    }
}

}  // namespace
