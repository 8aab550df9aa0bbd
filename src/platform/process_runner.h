#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// Starting programs the way menus expect Windows to start them. Scripts hand over one command
// line; it is split back into a program and its arguments by the rules Windows programs apply to
// their own command line, and the program starts with posix_spawn. All paths here are host
// paths: callers convert Windows paths first.
//
// Error numbers are the Windows ones that scripts and the shell-result table know:
//   2   file not found      the program does not exist (also: a Windows program without wine)
//   3   path not found      the working folder does not exist or is not a folder
//   5   access denied       the program is a folder or is not executable, or the folder is closed
//   8   out of memory       no memory or no process slot left (ENOMEM, EAGAIN)
//   193 bad exe format      the kernel refuses the file's format (ENOEXEC)
//   31  no association      anything else
enum : int {
    kRunFileNotFound = 2,
    kRunPathNotFound = 3,
    kRunAccessDenied = 5,
    kRunOutOfMemory = 8,
    kRunNoAssociation = 31,
    kRunBadExeFormat = 193,
};

// Splits a command line into arguments as the C runtime of a Windows program does. Outside
// quotes, blanks and tabs separate arguments; '"' toggles quoting; 2n backslashes before '"' give
// n backslashes and toggle quoting, 2n+1 give n backslashes and a literal '"'; other backslashes
// are literal; "" inside quotes is a literal '"'. The first argument (the program) only has its
// quotes removed and ends at the first blank outside quotes.
std::vector<std::string> SplitWindowsCommandLine(const std::string& commandLine);

// The command line of File.Run: the file in double quotes followed by a blank and the arguments,
// or the file alone and unquoted when there are no arguments.
std::string BuildRunCommandLine(const std::string& file, const std::string& arguments);

// Starts the program of commandLine with workingFolder as its current directory (the player's
// own when empty). The program is a host path (absolute, or relative to the working folder when
// one is given, else to the current directory) or a bare name searched on PATH. A Windows program
// (.exe, .com, .bat) starts through wine when wine is on PATH and is not found otherwise.
// windowMode (0 normal, 1 minimized, 2 maximized, other hidden) is accepted and ignored: an
// arbitrary Linux program has no start-up window state that a launcher could set.
// With wait, serveEvents runs repeatedly until the program ends; without, RunProgram returns at
// once and the program is reaped in the background when it ends. Returns 0 or an error number.
int RunProgram(const std::string& commandLine, const std::string& workingFolder, bool wait, int windowMode,
               const std::function<void()>& serveEvents);

// The path of an executable file called name in a folder of PATH, or "" when there is none.
// An empty PATH entry means the current directory, as for the shell.
std::string FindProgramOnPath(const std::string& name);

// One started child process. A child still running when its owner lets go of it is reaped in the
// background, so children that nobody waits for never stay behind as zombies.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the executable at path (a host path, not searched on PATH) with argv as its
    // arguments (argv[0] included) in workingFolder ("" for the current directory). The child
    // keeps only stdin, stdout and stderr of the player's descriptors. Returns 0 or an error
    // number of the table above.
    int Start(const std::string& path, const std::vector<std::string>& argv, const std::string& workingFolder);

    // Waits until the child ends or timeout passes, calling serveEvents (when set) between short
    // waits. Returns true when the child has ended; ExitCode then tells how.
    bool WaitFor(std::chrono::milliseconds timeout, const std::function<void()>& serveEvents);
    // Waits for as long as the child runs.
    void Wait(const std::function<void()>& serveEvents);

    bool Running() const { return pid > 0; }
    // The exit status of an ended child; -1 when a signal ended it or it was reaped elsewhere.
    int ExitCode() const { return exitCode; }

private:
    bool Reap();
    bool WaitUntil(const std::optional<std::chrono::steady_clock::time_point>& deadline,
                   const std::function<void()>& serveEvents);

    pid_t pid = -1;
    int pidFd = -1;
    int exitCode = -1;
};
