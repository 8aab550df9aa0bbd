#include <gtest/gtest.h>

#include <QImage>
#include <climits>
#include <vector>

#include "offscreen_application.h"
#include "view/object_cursors.h"

namespace {

TEST(ObjectCursors, DrawnKindsAreVisibleWithTheirHotSpots) {
    OffscreenApplication();
    struct Case {
        int kind;
        QPoint hotSpot;
    };
    const Case cases[] = {{1, {7, 1}}, {2, {1, 0}},  {4, {2, 3}},  {6, {5, 3}},   {7, {3, 5}},
                          {8, {0, 2}}, {9, {10, 3}}, {10, {0, 0}}, {11, {1, 13}}, {12, {8, 7}}};
    std::vector<QImage> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        std::optional<QCursor> cursor = CursorForKind(c.kind);
        ASSERT_TRUE(cursor.has_value());
        EXPECT_EQ(cursor->shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor->hotSpot(), c.hotSpot);
        // Drawn once: every call hands out the same picture.
        EXPECT_EQ(cursor->pixmap().cacheKey(), CursorPixmapForKind(c.kind).cacheKey());
        EXPECT_EQ(CursorForKind(c.kind)->pixmap().cacheKey(), cursor->pixmap().cacheKey());

        QImage image = cursor->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(32, 32));
        EXPECT_GT(qAlpha(image.pixel(c.hotSpot)), 0) << "nothing drawn under the hot spot";
        // Seen on any page: see-through around the shape, dark and light parts within it.
        int clear = 0, dark = 0, light = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0) ++clear;
                if (qAlpha(pixel) >= 200 && qGray(pixel) < 80) ++dark;
                if (qAlpha(pixel) >= 200 && qGray(pixel) > 180) ++light;
            }
        }
        EXPECT_GT(clear, 32 * 32 / 4);
        EXPECT_GT(dark, 20);
        EXPECT_GT(light, 20);
        for (const QImage& other : seen) EXPECT_NE(image, other) << "two kinds share a picture";
        seen.push_back(image);
    }
}

TEST(ObjectCursors, SystemAndUnknownKinds) {
    OffscreenApplication();
    struct Case {
        int kind;
        Qt::CursorShape shape;
    };
    for (Case c : {Case{0, Qt::ArrowCursor}, Case{3, Qt::CrossCursor}, Case{5, Qt::WhatsThisCursor},
                   Case{13, Qt::UpArrowCursor}}) {
        std::optional<QCursor> cursor = CursorForKind(c.kind);
        ASSERT_TRUE(cursor.has_value()) << c.kind;
        EXPECT_EQ(cursor->shape(), c.shape) << c.kind;
        EXPECT_TRUE(CursorPixmapForKind(c.kind).isNull()) << c.kind;
    }
    for (int kind : {14, -1, 100, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(CursorForKind(kind).has_value()) << kind;
        EXPECT_TRUE(CursorPixmapForKind(kind).isNull()) << kind;
    }
}

}  // namespace
