#pragma once

#include <QApplication>

// The one QApplication of the test binary, on the offscreen platform; made on first use.
// Inline so that every test file shares it: Qt allows only one application object.
inline QApplication& OffscreenApplication() {
    static int argc = 1;
    static char name[] = "vx_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *application;
}
