#include "platform/qt/qt_font_registration.h"

#include <gtest/gtest.h>

#include "offscreen_application.h"

namespace {

const std::string boxesFont = VX_SOURCE_DIR "/tests/fixtures/fonts/vantorix-test-boxes.ttf";

TEST(QtFontRegistration, WindowsFacesDrawInTheirStandIns) {
    OffscreenApplication();
    struct Case {
        const char* face;
        const char* drawnWith;
    };
    // The packages of scripts/install-deps.sh provide every one of these.
    const Case cases[] = {
        {"Arial", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Arial Narrow", "Liberation Sans Narrow"},
        {"Calibri", "Carlito"},
        {"Cambria", "Caladea"},
        {"Tahoma", "Tahoma"},
        {"MS Sans Serif", "MS Sans Serif"},
        {"MS Shell Dlg", "MS Sans Serif"},
        {"Verdana", "DejaVu Sans"},
        {"Comic Sans MS", "Comic Neue"},
        {"Wingdings", "Wingdings"},
    };
    std::vector<std::string> faces;
    for (const Case& c : cases) faces.push_back(c.face);
    CKXQtFontRegistration registration;
    registration.ProvideSubstitutes(faces);
    for (const Case& c : cases) EXPECT_EQ(CKXQtFontRegistration::ResolvedFamily(c.face), c.drawnWith) << c.face;
    // Faces the system has are left alone.
    for (const CKXQtFontRegistration::Provided& provided : registration.provided) {
        EXPECT_NE(provided.face, "Liberation Sans");
    }
}

TEST(QtFontRegistration, EmbeddedFontsComeAndGo) {
    OffscreenApplication();
    CKXQtFontRegistration registration;
    const std::string face = "Vantorix Test Boxes";
    EXPECT_FALSE(registration.HasScalableFace(face, 0));
    int id = registration.AddFontFile(boxesFont);
    ASSERT_GE(id, 0);
    EXPECT_TRUE(registration.HasScalableFace(face, 0));
    // The face must match exactly, letter case included, and cover the character set asked for.
    EXPECT_FALSE(registration.HasScalableFace("vantorix test boxes", 0));
    EXPECT_FALSE(registration.HasScalableFace(face, 128));
    EXPECT_EQ(CKXQtFontRegistration::ResolvedFamily(face), face);
    EXPECT_TRUE(registration.RemoveFontFile(id));
    EXPECT_FALSE(registration.HasScalableFace(face, 0));
    EXPECT_EQ(registration.AddFontFile(VX_SOURCE_DIR "/README.md"), -1);
    // An alias of the system's font configuration is not a font the system has.
    EXPECT_FALSE(registration.HasScalableFace("Arial", 0));
    EXPECT_TRUE(registration.HasScalableFace("Liberation Sans", 0));
}

}  // namespace
