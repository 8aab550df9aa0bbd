#include "platform/process_runner.h"

#include "fake_programs.h"
#include "scoped_environment.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Arguments = std::vector<std::string>;

TEST(SplitWindowsCommandLineTest, FollowsTheRulesOfWindowsPrograms) {
    struct Case {
        std::string line;
        Arguments expected;
    };
    const Case cases[] = {
        {"", {}},
        {" \t ", {}},
        {"prog a b", {"prog", "a", "b"}},
        {"  prog \t a   b  ", {"prog", "a", "b"}},
        {R"("C:\Program Files\Menu\run.exe" /s)", {R"(C:\Program Files\Menu\run.exe)", "/s"}},
        // The program only loses its quotes: backslashes before a quote stay as they are.
        {R"(C:\a\"b c"\x.exe y)", {R"(C:\a\b c\x.exe)", "y"}},
        {R"(p "two words" three)", {"p", "two words", "three"}},
        {R"(p ab"c d"e)", {"p", "abc de"}},
        {R"(p a\b\\c)", {"p", R"(a\b\\c)"}},
        {R"(p a\\\"b)", {"p", R"(a\"b)"}},
        {R"(p a\\"b c")", {"p", R"(a\b c)"}},
        {R"(p "C:\dir\\")", {"p", R"(C:\dir\)"}},
        {R"(p "say ""hi""")", {"p", R"(say "hi")"}},
        {R"(p "" x)", {"p", "", "x"}},
        {R"(p "open ended)", {"p", "open ended"}},
        {"p a\nb", {"p", "a\nb"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitWindowsCommandLine(c.line), c.expected) << c.line;
    }
}

TEST(BuildRunCommandLineTest, QuotesTheFileOnlyBeforeArguments) {
    EXPECT_EQ(BuildRunCommandLine(R"(C:\My Apps\a.exe)", ""), R"(C:\My Apps\a.exe)");
    EXPECT_EQ(BuildRunCommandLine(R"(C:\My Apps\a.exe)", R"(-x "y z")"), R"("C:\My Apps\a.exe" -x "y z")");
    EXPECT_EQ(SplitWindowsCommandLine(BuildRunCommandLine("/opt/my tool", "-x")), (Arguments{"/opt/my tool", "-x"}));
}

class RunProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp.path.empty());
        bin = temp / "bin";
        std::filesystem::create_directories(bin);
        const char* path = std::getenv("PATH");
        environment.Set("PATH", bin + ":" + (path ? path : "/usr/bin:/bin"));
    }

    // A program that writes each of its arguments on a line of its own to the file out.
    std::string ArgumentRecorder(const std::string& name, const std::string& out) {
        return WriteScript(temp / name, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + out + "'\n");
    }

    int Run(const std::string& commandLine, const std::string& folder = "", bool wait = true) {
        return RunProgram(commandLine, folder, wait, 0, {});
    }

    TempFolder temp;
    ScopedEnvironment environment;
    std::string bin;
};

TEST_F(RunProgramTest, ArgumentsArriveExactly) {
    std::string out = temp / "args.txt";
    std::string program = ArgumentRecorder("my tool", out);
    std::string arguments = R"(plain "two words" a\\\"b "C:\dir\\" "" 'single' $HOME)";
    ASSERT_EQ(Run(BuildRunCommandLine(program, arguments)), 0);
    EXPECT_EQ(ReadLines(out), (Arguments{"plain", "two words", R"(a\"b)", R"(C:\dir\)", "", "'single'", "$HOME"}));
}

TEST_F(RunProgramTest, LongCommandLinesAreNotCut) {
    std::string out = temp / "args.txt";
    std::string program = ArgumentRecorder("tool", out);
    std::string longArgument(3000, 'x');
    std::string commandLine = BuildRunCommandLine(program, "first " + longArgument + " last");
    ASSERT_GT(commandLine.size(), 500u);
    ASSERT_EQ(Run(commandLine), 0);
    EXPECT_EQ(ReadLines(out), (Arguments{"first", longArgument, "last"}));
}

TEST_F(RunProgramTest, ProgramsAreFoundByPathOrOnPath) {
    std::string out = temp / "args.txt";
    std::string work = temp / "work";
    std::filesystem::create_directories(work);
    ArgumentRecorder("work/local", out);
    ArgumentRecorder("bin/onpath", out);

    ASSERT_EQ(Run("onpath a"), 0);
    EXPECT_EQ(ReadLines(out), (Arguments{"a"}));
    // A relative program path counts from the working folder.
    ASSERT_EQ(Run("./local b", work), 0);
    EXPECT_EQ(ReadLines(out), (Arguments{"b"}));
}

TEST_F(RunProgramTest, TheChildRunsInTheWorkingFolder) {
    std::string out = temp / "pwd.txt";
    std::string program = WriteScript(temp / "where", "pwd -P > '" + out + "'\n");
    std::string work = temp / "a folder";
    std::filesystem::create_directories(work);

    ASSERT_EQ(Run(program, work), 0);
    EXPECT_EQ(ReadLines(out), Arguments{std::filesystem::canonical(work).string()});
    ASSERT_EQ(Run(program, ""), 0);
    EXPECT_EQ(ReadLines(out), Arguments{std::filesystem::canonical(std::filesystem::current_path()).string()});
}

TEST_F(RunProgramTest, FailuresGiveWindowsErrorNumbers) {
    ArgumentRecorder("tool", temp / "args.txt");
    std::ofstream(temp / "plain.txt") << "not a program\n";
    temp.Write("folder/file", "x");
    std::ofstream(temp / "garbage", std::ios::binary) << std::string("\x01\x02\x03\x04", 4);
    std::filesystem::permissions(temp / "garbage", std::filesystem::perms::owner_all);
    temp.Write("Setup.EXE", "MZ");
    // No wine on this PATH, whatever the machine has installed.
    environment.Set("PATH", bin);

    struct Case {
        std::string commandLine;
        std::string folder;
        int expected;
    };
    const Case cases[] = {
        {"", "", 2},
        {temp / "missing", "", 2},
        {"missing-program-name", "", 2},
        {temp / "tool", temp / "no such folder", 3},
        {temp / "tool", temp / "plain.txt", 3},
        {temp / "plain.txt", "", 5},
        {temp / "folder", "", 5},
        {temp / "garbage", "", 193},
        {temp / "Setup.EXE", "", 2},
        {"notepad.exe", "", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.commandLine, c.folder), c.expected) << c.commandLine << " in " << c.folder;
    }
}

TEST_F(RunProgramTest, WindowsProgramsStartThroughWine) {
    std::string out = temp / "wine.txt";
    ArgumentRecorder("bin/wine", out);
    std::string setup = temp.Write("Setup.EXE", "MZ");

    ASSERT_EQ(Run(BuildRunCommandLine(setup, "/S \"C:\\x y\""), temp.path), 0);
    EXPECT_EQ(ReadLines(out), (Arguments{setup, "/S", "C:\\x y"}));
    // A bare name wine may know itself goes to it unchanged.
    ASSERT_EQ(Run("notepad.exe readme.txt"), 0);
    EXPECT_EQ(ReadLines(out), (Arguments{"notepad.exe", "readme.txt"}));
}

TEST_F(RunProgramTest, WaitingServesEventsUntilTheProgramEnds) {
    std::string marker = temp / "done";
    std::string program = WriteScript(temp / "slow", "sleep 0.3\necho done > '" + marker + "'\n");
    int served = 0;
    ASSERT_EQ(RunProgram(program, "", true, 0, [&served] { ++served; }), 0);
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_GT(served, 1);
}

TEST_F(RunProgramTest, WithoutWaitingTheCallReturnsAndTheChildIsReaped) {
    std::string pidFile = temp / "pid";
    std::string program = WriteScript(temp / "long", "echo $$ > '" + pidFile + "'\nexec sleep 5\n");
    int served = 0;
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunProgram(program, "", false, 2, [&served] { ++served; }), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(served, 0);
    EXPECT_TRUE(KillAndSeeReaped(pidFile));
}

TEST_F(RunProgramTest, TheChildInheritsNoDescriptorsBeyondTheStandardOnes) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    // A high number that shells do not take for their own use.
    const int leaked = 57;
    ASSERT_EQ(dup2(pipeEnds[1], leaked), leaked);
    std::string out = temp / "fds.txt";
    std::string program = WriteScript(temp / "fds", "if [ -e /proc/self/fd/" + std::to_string(leaked) +
                                                        " ]; then echo open; else echo closed; fi > '" + out + "'\n");
    int result = Run(program);
    close(leaked);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(ReadLines(out), Arguments{"closed"});
}

}  // namespace
