#include "view/objects/image_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/image/image_codecs.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_menu_page.h"
#include "shown_project.h"

namespace {

class ImageViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "convert is not installed";
        project.pages.push_back(std::make_unique<CVantorixMenuPage>());
        shown = std::make_unique<ShownProject>(project, 320, 240);
    }

    // An image object of the given size showing file, with its settings changed by tune.
    CVantorixImageObject& Object(const std::string& file, int width, int height,
                                 void (*tune)(CVantorixImageObject&) = nullptr) {
        auto& object = *objects.emplace_back(std::make_unique<CVantorixImageObject>());
        object.imageFile = WindowsPathLayer::Instance().ToWindowsPath(file);
        object.rect = {0, 0, width, height};
        if (tune) tune(object);
        return object;
    }

    CVantorixProject project;
    std::unique_ptr<ShownProject> shown;
    std::vector<std::unique_ptr<CVantorixImageObject>> objects;
    TempFolder temp;
};

// Left half opaque, right half transparent.
std::string HalfOpaque(const TempFolder& temp, const char* size) {
    std::string file = temp / "half.png";
    std::string command = "convert -size ";
    command += size;
    command += " xc:none -fill '#CC3300' -draw 'rectangle 0,0 " + std::to_string(std::atoi(size) / 2 - 1);
    command += ",10000' PNG32:" + file;
    EXPECT_EQ(std::system(command.c_str()), 0);
    return file;
}

TEST_F(ImageViewTest, ObjectsShowingOneFileTheSameWayShareOnePreparedCopy) {
    std::string file = HalfOpaque(temp, "400x300");
    const std::uint64_t before = image_codec::DecodedBytesInUse();
    {
        CImageView first(Object(file, 40, 30)), second(Object(file, 40, 30));
        ASSERT_TRUE(first.Reload(shown->frame->View().Services()));
        ASSERT_TRUE(second.Reload(shown->frame->View().Services()));
        // Only the object-sized result stays; the full-size decode is gone.
        EXPECT_EQ(image_codec::DecodedBytesInUse() - before, 40u * 30u * 4u);

        // Another size, or a fade with the alpha test, is a picture of its own; the faded one
        // keeps its unfaded hit picture beside it.
        CImageView larger(Object(file, 80, 60));
        CImageView faded(Object(file, 40, 30, [](CVantorixImageObject& o) {
            o.opacity = 10;
            o.alphaHitTest = 1;
        }));
        ASSERT_TRUE(larger.Reload(shown->frame->View().Services()));
        ASSERT_TRUE(faded.Reload(shown->frame->View().Services()));
        EXPECT_EQ(image_codec::DecodedBytesInUse() - before, 40u * 30u * 4u + 80u * 60u * 4u + 2 * 40u * 30u * 4u);

        // The faded object still takes the pointer over its opaque half only.
        EXPECT_TRUE(faded.HitTest(QPoint(5, 15)));
        EXPECT_FALSE(faded.HitTest(QPoint(35, 15)));

        first.LeavePage();
        second.LeavePage();
        larger.LeavePage();
        EXPECT_EQ(image_codec::DecodedBytesInUse() - before, 2 * 40u * 30u * 4u);
    }
    EXPECT_EQ(image_codec::DecodedBytesInUse(), before);
}

TEST_F(ImageViewTest, ABigJpegDecodesStraightToAboutTheObjectsSize) {
    std::string file = temp / "big.jpg";
    ASSERT_EQ(std::system(("convert -size 4000x3000 gradient:red-blue JPEG:" + file).c_str()), 0);
    CImageView view(Object(file, 100, 75));
    ASSERT_TRUE(view.Reload(shown->frame->View().Services()));
    CDIBSMemDC dc(QRect(0, 0, 100, 75), Qt::black);
    view.Paint(dc, shown->frame->View().Services());
    // The top-left pixel is red, the bottom-left blue: the picture was decoded and scaled whole.
    QImage shot = dc.Image();
    EXPECT_GT(qRed(shot.pixel(2, 2)), 200);
    EXPECT_GT(qBlue(shot.pixel(2, 72)), 200);
}

}  // namespace
