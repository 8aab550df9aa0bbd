#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "plugins/transition_dll_manager.h"
#include "project/vantorix_menu_page.h"
#include "project/vantorix_project.h"
#include "shown_project.h"
#include "temp_folder.h"

namespace {

// Copies one of the test plugins the build made to folder/name.
void PutPlugin(const std::string& plugin, const std::string& folder, const std::string& name) {
    std::filesystem::path target = std::filesystem::path(folder) / name;
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(std::string(VX_TEST_PLUGINS_DIR) + "/" + plugin + ".tns", target,
                               std::filesystem::copy_options::overwrite_existing);
}

TEST(TransitionPlugins, TheScanFindsEveryPluginInSortedOrderAndSkipsWhatIsNotOne) {
    TempFolder folder;
    PutPlugin("recorder", folder.path, "b/recorder.tns");
    PutPlugin("same_second", folder.path, "z_same.tns");
    PutPlugin("same_first", folder.path, "a/deeper/Same.TNS");  // in a sub-folder, any letter case
    PutPlugin("long_name", folder.path, "long.tns");
    PutPlugin("never_fits", folder.path, "never.tns");
    PutPlugin("unterminated", folder.path, "unterminated.tns");
    PutPlugin("no_export", folder.path, "no_export.tns");
    PutPlugin("recorder", folder.path, "recorder.dll");  // not a .tns: not looked at
    folder.Write("empty.tns", "");
    folder.Write("windows.tns", std::string("MZ\x90\0\3\0\0\0", 8) + std::string(512, '\0'));
    folder.Write("text.tns", "not a library");
    std::filesystem::create_directories(folder / "folder.tns");
    mkfifo((folder / "pipe.tns").c_str(), 0600);
    std::filesystem::create_directory_symlink(folder.path, folder / "loop");  // a link loop is not followed
    std::filesystem::create_symlink(folder / "missing.tns", folder / "dangling.tns");

    CKXTransitionDLLManager manager;
    manager.Scan(folder.path);
    struct Expected {
        const char* file;
        std::string name;
    };
    const Expected expected[] = {
        {"a/deeper/Same.TNS", "Same"},
        {"b/recorder.tns", "Recorder"},
        {"long.tns", std::string(20000, 'n')},  // asked twice, read in full
        {"never.tns", ""},                      // too small twice: no name
        {"unterminated.tns", std::string(10000, 'u')},
        {"z_same.tns", "Same"},
    };
    ASSERT_EQ(manager.Plugins().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(manager.Plugins()[i].path, folder / expected[i].file);
        EXPECT_EQ(manager.Plugins()[i].name, expected[i].name) << expected[i].file;
    }
    std::vector<std::string> skipped;
    for (const auto& file : manager.SkippedFiles()) skipped.push_back(file.path.substr(folder.path.size() + 1));
    EXPECT_EQ(skipped, (std::vector<std::string>{"dangling.tns", "empty.tns", "folder.tns", "no_export.tns", "pipe.tns",
                                                 "text.tns", "windows.tns"}));

    // The first of two same-named plugins wins; names are matched letter case and all.
    ASSERT_NE(manager.FindByName("Same"), nullptr);
    EXPECT_EQ(manager.FindByName("Same")->path, folder / "a/deeper/Same.TNS");
    EXPECT_EQ(manager.FindByName("same"), nullptr);
    EXPECT_EQ(manager.FindByName("Missing"), nullptr);

    // Another folder's plugins come after; a missing folder gives none.
    TempFolder own;
    PutPlugin("same_second", own.path, "same.tns");
    manager.ScanAlso(own.path);
    EXPECT_EQ(manager.Plugins().size(), std::size(expected) + 1);
    EXPECT_EQ(manager.FindByName("Same")->path, folder / "a/deeper/Same.TNS");
    manager.Scan(folder / "nothing here");
    EXPECT_TRUE(manager.Plugins().empty());
}

// Two pages of distinct colours; the first names a transition with the given settings. The
// plugins folder beside the data file holds the recorder.
struct TransitionRun {
    explicit TransitionRun(const std::string& transitionName) {
        for (std::int32_t color : {0x0000FF, 0x00FF00}) {
            auto page = std::make_unique<CVantorixMenuPage>();
            page->backgroundColor = color;
            project.pages.push_back(std::move(page));
        }
        project.pages[0]->transitionName = transitionName;
        project.pages[0]->transitionSettings = "record=" + record;
        shown = std::make_unique<ShownProject>(
            project, 40, 30, [](const std::string& folder) { PutPlugin("recorder", folder, "Plugins/recorder.tns"); });
        shown->document.ShowPage(1, false);
    }
    TempFolder temp;
    std::string record = temp / "record.txt";
    CVantorixProject project;
    std::unique_ptr<ShownProject> shown;
};

TEST(TransitionPlugins, ALeftPageHandsTheOldAndTheNewPageToItsPlugin) {
    TransitionRun run("Recorder");
    EXPECT_EQ(run.shown->document.CurrentPageIndex(), 1);
    // The page fills the client area at its origin: red on screen, green in the new page.
    std::string origin = std::to_string(run.shown->frame->View().PageOriginX()) + " " +
                         std::to_string(run.shown->frame->View().PageOriginY());
    EXPECT_EQ(FileContents(run.record), "settings record=" + run.record + "\n" + "geometry 40 30 " + origin + "\n" +
                                            "surfaces 40 30 40 30\n"
                                            "callbacks 1 1 1 1\n"
                                            "screen ff0000 ff0000\n"
                                            "newPage 00ff00 00ff00\n");
}

TEST(TransitionPlugins, APageNamingNoKnownPluginChangesWithoutAnEffect) {
    for (const char* name : {"recorder", "Unknown"}) {
        TransitionRun run(name);
        EXPECT_EQ(run.shown->document.CurrentPageIndex(), 1) << name;
        EXPECT_FALSE(std::filesystem::exists(run.record)) << name;
        EXPECT_TRUE(run.shown->dialogs.records.empty()) << name;
    }
}

}  // namespace
