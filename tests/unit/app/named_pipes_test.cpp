#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "graphics/image/cis_image_ex.h"
#include "platform/code_page.h"
#include "platform/windows_paths.h"
#include "project/archive_password.h"
#include "project/unzip_to_memory.h"
#include "script_fixture.h"
#include "temp_folder.h"
#include "view/buttons/kx_button.h"

namespace {

// Runs a read that must give up at once; a read that blocks (on a pipe nobody writes to) fails
// the test after two seconds and is left behind.
bool EndsPromptly(const std::function<void()>& read) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([read, done] {
        read();
        done->set_value();
    }).detach();
    return finished.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
}

TEST(NamedPipes, ProjectFilesThatArePipesAreNotWaitedFor) {
    TempFolder folder;
    std::string pipe = folder / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::function<void()> read;
    };
    const Case cases[] = {
        {"a picture",
         [pipe] {
             CISImageEx picture;
             EXPECT_NE(picture.LoadFile(pipe), 0);
         }},
        {"a button file",
         [pipe] {
             CKXButton button;
             EXPECT_FALSE(button.LoadButtonFile(pipe));
         }},
        {"a data file entry",
         [pipe] {
             std::uint8_t byte = 0;
             EXPECT_NE(CKXUnzipToMemory().ExtractEntry(pipe, "_proj.dat", &byte, 1, archivePassword), 0);
         }},
        {"a module",
         [pipe] {
             ScriptFixture fixture;
             std::string name = WindowsPathLayer::Instance().ToWindowsPath(pipe);
             EXPECT_EQ(fixture.Eval("select(2, pcall(dofile, [[" + name + "]]))"), "cannot read " + name);
         }},
    };
    for (const Case& c : cases) EXPECT_TRUE(EndsPromptly(c.read)) << c.what << " blocked on a named pipe";
}

}  // namespace
