#pragma once

#include <QApplication>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/action_tables.h"
#include "app/main_frame.h"
#include "app/project_settings.h"
#include "engine/px_runtime_doc.h"
#include "offscreen_application.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/windows_paths.h"
#include "project/archive_password.h"
#include "project/vantorix_project.h"
#include "project/zip_writer.h"
#include "temp_folder.h"
#include "view/px_runtime_view.h"

// A project packed into a data file, opened by a document and shown in a frame on the offscreen
// platform, at the given page size. beforeOpen may put files beside the data file first;
// beforeFrame may change the frame's settings and name the program it runs as.
class ShownProject {
public:
    using FrameSetup = std::function<void(RuntimeAppSettings& settings, std::string& executablePath)>;
    ShownProject(CVantorixProject& project, int width, int height,
                 const std::function<void(const std::string& folder)>& beforeOpen = {},
                 const FrameSetup& beforeFrame = {}) {
        OffscreenApplication();
        WindowsPathLayer::Instance().SetDataHome(data.path);
        project.info.windowWidth = width;
        project.info.windowHeight = height;
        if (beforeOpen) beforeOpen(folder.path);
        std::string file = folder / "menu.cdd";
        std::string error;
        EXPECT_TRUE(WriteZipArchive(file, {{"_proj.dat", WriteProjectEntry(project), true}}, archivePassword, &error));
        EXPECT_TRUE(document.OnNewDocument(file, file, archivePassword, nullptr));
        RuntimeAppSettings settings;
        settings.windowWidth = width;
        settings.windowHeight = height;
        std::string executablePath;
        if (beforeFrame) beforeFrame(settings, executablePath);
        frame = std::make_unique<CMainFrame>(settings, document, QSize(800, 600), QRect(0, 0, 800, 600),
                                             std::vector<std::string>{}, executablePath);
        frame->show();
        frame->View().OnInitialUpdate();
        QApplication::processEvents();
    }

    // A script global as text (empty when it is not a string or number).
    std::string Global(const char* name) {
        lua_State* L = document.ScriptEngine().luaState;
        lua_getglobal(L, name);
        const char* text = lua_tostring(L, -1);
        std::string value = text ? text : "";
        lua_pop(L, 1);
        return value;
    }

    // Opening the project makes its folder current; later tests need theirs back.
    struct RestoreCurrentDirectory {
        std::filesystem::path saved = std::filesystem::current_path();
        ~RestoreCurrentDirectory() { std::filesystem::current_path(saved); }
    } restoreCurrentDirectory;
    TempFolder folder, data;
    ScriptedDialogs dialogs;
    CKXFrameServices frameServices;
    CPXRuntimeDoc document{dialogs, frameServices, CodePage::Default(), ActionTables()};
    std::unique_ptr<CMainFrame> frame;
};
