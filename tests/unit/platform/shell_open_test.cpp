#include "platform/shell_open.h"

#include "fake_programs.h"
#include "scoped_environment.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The desktop's tools are scripts first on PATH that write their name and arguments to a record
// file; PATH holds nothing else, so no real tool is ever reached.
class ShellExecuteVerbTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp.path.empty());
        bin = temp / "bin";
        record = temp / "record.txt";
        for (const char* tool : {"xdg-open", "xdg-email", "lp"}) FakeTool(tool, "");
        environment.Set("PATH", bin);
        document = temp.Write("docs/Guide.pdf", "%PDF");
        folder = temp / "docs";
    }

    void FakeTool(const std::string& name, const std::string& after) {
        WriteScript(bin + "/" + name, "printf '%s\\n' " + name + " \"$@\" > '" + record + "'\n" + after);
    }

    Lines Recorded() { return WaitForFile(record) ? ReadLines(record) : Lines{}; }

    TempFolder temp;
    ScopedEnvironment environment;
    std::string bin;
    std::string record;
    std::string document;
    std::string folder;
};

TEST_F(ShellExecuteVerbTest, EachVerbHandsItsTargetToTheDesktopTool) {
    struct Case {
        std::string verb;
        std::string target;
        std::string workingFolder;
        Lines expected;
    };
    const Case cases[] = {
        {"open", document, "", {"xdg-open", document}},
        {"Open", "Guide.pdf", folder, {"xdg-open", document}},
        {"", document, "", {"xdg-open", document}},
        {"open", folder, "", {"xdg-open", folder}},
        {"explore", folder, "", {"xdg-open", folder}},
        {"print", document, "", {"lp", document}},
        {"open", "https://example.com/a?b=c d", "", {"xdg-open", "https://example.com/a?b=c d"}},
        {"open", "mailto:ann@example.com", "", {"xdg-email", "mailto:ann@example.com"}},
        {"open", "MAILTO:bob@example.com", "", {"xdg-email", "MAILTO:bob@example.com"}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(record);
        EXPECT_EQ(ShellExecuteVerb(c.verb, c.target, c.workingFolder, 1), 42) << c.verb << " " << c.target;
        EXPECT_EQ(Recorded(), c.expected) << c.verb << " " << c.target;
    }
}

TEST_F(ShellExecuteVerbTest, MailGoesToXdgOpenWithoutXdgEmail) {
    std::filesystem::remove(bin + "/xdg-email");
    EXPECT_EQ(ShellExecuteVerb("open", "mailto:ann@example.com", "", 1), 42);
    EXPECT_EQ(Recorded(), (Lines{"xdg-open", "mailto:ann@example.com"}));
}

TEST_F(ShellExecuteVerbTest, TargetsThatCannotBeOpenedFailBeforeAnyToolRuns) {
    struct Case {
        std::string verb;
        std::string target;
        std::string workingFolder;
        int expected;
    };
    const Case cases[] = {
        {"open", temp / "docs/Missing.pdf", "", 2},
        {"open", temp / "nowhere/Guide.pdf", "", 3},
        {"open", "", "", 2},
        {"open", document, temp / "no such folder", 3},
        {"explore", document, "", 3},
        {"explore", temp / "nowhere", "", 3},
        {"print", temp / "docs/Missing.pdf", "", 2},
        {"print", temp / "nowhere/Guide.pdf", "", 3},
        {"print", folder, "", 31},
        {"print", "https://example.com/", "", 31},
        {"edit", document, "", 31},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShellExecuteVerb(c.verb, c.target, c.workingFolder, 1), c.expected) << c.verb << " " << c.target;
    }
    EXPECT_FALSE(std::filesystem::exists(record));
}

TEST_F(ShellExecuteVerbTest, NoToolOnPathMeansNoAssociation) {
    environment.Set("PATH", temp / "empty");
    EXPECT_EQ(ShellExecuteVerb("open", document, "", 1), 31);
    EXPECT_EQ(ShellExecuteVerb("explore", folder, "", 1), 31);
    EXPECT_EQ(ShellExecuteVerb("open", "https://example.com/", "", 1), 31);
    EXPECT_EQ(ShellExecuteVerb("open", "mailto:ann@example.com", "", 1), 31);
    EXPECT_EQ(ShellExecuteVerb("print", document, "", 1), 31);
}

TEST_F(ShellExecuteVerbTest, ToolFailuresKeepTheirMeaning) {
    struct Case {
        std::string tool;
        int exitStatus;
        std::string verb;
        int expected;
    };
    const Case cases[] = {
        {"xdg-open", 2, "open", 2},  {"xdg-open", 3, "open", 31}, {"xdg-open", 4, "explore", 31},
        {"xdg-open", 1, "open", 31}, {"lp", 1, "print", 31},      {"lp", 2, "print", 31},
    };
    for (const Case& c : cases) {
        FakeTool(c.tool, "exit " + std::to_string(c.exitStatus) + "\n");
        std::string target = c.verb == "explore" ? folder : document;
        EXPECT_EQ(ShellExecuteVerb(c.verb, target, "", 1), c.expected) << c.tool << " exiting with " << c.exitStatus;
        FakeTool(c.tool, "");
    }
}

TEST_F(ShellExecuteVerbTest, ThePlayerDoesNotWaitForTheViewer) {
    std::string pidFile = temp / "pid";
    FakeTool("xdg-open", "echo $$ > '" + pidFile + "'\nPATH=/usr/bin:/bin exec sleep 5\n");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ShellExecuteVerb("open", document, "", 1), 42);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_TRUE(KillAndSeeReaped(pidFile));
}

}  // namespace
