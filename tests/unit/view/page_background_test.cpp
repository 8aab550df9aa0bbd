#include "view/page_background.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/image/image_codecs.h"
#include "offscreen_application.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/windows_paths.h"
#include "project/vantorix_menu_page.h"
#include "script/script_document.h"
#include "temp_folder.h"

namespace {

TEST(PageBackground, PagesShowingOneFileTheSameWayShareOneDecodedCopy) {
    OffscreenApplication();
    TempFolder player;
    ASSERT_EQ(std::system(("convert -size 200x150 xc:'#336699' " + player / "back.png").c_str()), 0);
    ScriptedDialogs dialogs;
    CKXFrameServices frame;
    CKXScriptDocument document(dialogs, frame, CodePage::Default());
    document.SetExeFolder(WindowsPathLayer::Instance().ToWindowsPath(player.path));

    // Six tiled pages and one stretched: two copies, one of the file's size and one of the page's.
    std::vector<CVantorixMenuPage> pages(7);
    for (CVantorixMenuPage& page : pages) {
        page.backgroundType = 2;
        page.pictureMode = 1;
        page.backgroundPicture = "back.png";
    }
    pages.back().pictureMode = 0;
    const std::uint64_t before = image_codec::DecodedBytesInUse();
    CDIBSMemDC dc(QRect(0, 0, 640, 480), Qt::black);
    for (CVantorixMenuPage& page : pages) DrawPageBackground(page, dc, QRect(0, 0, 640, 480), document);
    EXPECT_EQ(image_codec::DecodedBytesInUse() - before, 200u * 150u * 3u + 640u * 480u * 3u);
}

}  // namespace
