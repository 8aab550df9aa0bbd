#include "platform/process_runner.h"

#include "platform/ascii_case.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program's name, up to the first blank outside quotes; quotes only switch quoting on and off.
std::string SplitProgramName(const std::string& line, std::size_t& pos) {
    std::string name;
    bool quoted = false;
    for (; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            quoted = !quoted;
        } else if (IsBlank(c) && !quoted) {
            break;
        } else {
            name += c;
        }
    }
    return name;
}

std::string SplitArgument(const std::string& line, std::size_t& pos) {
    std::string argument;
    bool quoted = false;
    while (pos < line.size()) {
        char c = line[pos];
        if (IsBlank(c) && !quoted) break;
        if (c == '\\') {
            std::size_t end = line.find_first_not_of('\\', pos);
            if (end == std::string::npos) end = line.size();
            std::size_t count = end - pos;
            if (end < line.size() && line[end] == '"') {
                argument.append(count / 2, '\\');
                if (count % 2 == 1) {
                    argument += '"';
                    pos = end + 1;
                } else {
                    pos = end;  // the quote toggles quoting on the next round
                }
            } else {
                argument.append(count, '\\');
                pos = end;
            }
        } else if (c == '"') {
            if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
                argument += '"';
                pos += 2;
            } else {
                quoted = !quoted;
                ++pos;
            }
        } else {
            argument += c;
            ++pos;
        }
    }
    return argument;
}

int ErrorNumberFor(int error) {
    switch (error) {
        case ENOENT:
            return kRunFileNotFound;
        case ENOTDIR:
            return kRunPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
            return kRunAccessDenied;
        case ENOMEM:
        case EAGAIN:
            return kRunOutOfMemory;
        case ENOEXEC:
            return kRunBadExeFormat;
        default:
            return kRunNoAssociation;
    }
}

bool IsExecutableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool IsWindowsProgram(const std::string& program) {
    std::size_t slash = program.rfind('/');
    std::size_t dot = program.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string_view extension = std::string_view(program).substr(dot);
    return EqualsIgnoringAsciiCase(extension, ".exe") || EqualsIgnoringAsciiCase(extension, ".com") ||
           EqualsIgnoringAsciiCase(extension, ".bat");
}

// Children whose reaper thread could not be started; each later start reaps the ended ones.
std::mutex strayMutex;
std::vector<pid_t> strayChildren;

void ReapStrayChildren() {
    std::lock_guard<std::mutex> lock(strayMutex);
    std::erase_if(strayChildren, [](pid_t child) {
        int status;
        pid_t result = waitpid(child, &status, WNOHANG);
        return result == child || (result < 0 && errno == ECHILD);
    });
}

// A child that nobody waits for gets a thread of its own, blocked in waitpid on that one pid,
// so it is reaped the moment it ends. Waiting on the pid alone leaves every other child of the
// process (Qt's, the media libraries') to its owner, and needs no SIGCHLD handler. The thread
// blocks all signals so that signals meant for the player keep reaching the GUI thread.
void ReapInBackground(pid_t child) {
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        std::thread([child] {
            int status;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (...) {
        std::lock_guard<std::mutex> lock(strayMutex);
        strayChildren.push_back(child);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

int OpenPidFd(pid_t child) {
#ifdef SYS_pidfd_open
    long fd = syscall(SYS_pidfd_open, child, 0);
    if (fd >= 0) {
        fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        return static_cast<int>(fd);
    }
#endif
    (void)child;
    return -1;
}

class SpawnSettings {
public:
    SpawnSettings() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

// Closes every descriptor from 3 on in the child: those the player opened without close-on-exec
// (sockets, pipes, files of libraries) must not stay open in programs that outlive it.
int CloseInheritedDescriptors(posix_spawn_file_actions_t& actions) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    return posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#else
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int fd = std::atoi(entry.path().filename().c_str());
        if (fd > 2 && fcntl(fd, F_GETFD) >= 0) {
            int result = posix_spawn_file_actions_addclose(&actions, fd);
            if (result != 0) return result;
        }
    }
    return 0;
#endif
}

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments;
    std::size_t pos = 0;
    while (pos < commandLine.size() && IsBlank(commandLine[pos])) ++pos;
    if (pos == commandLine.size()) return arguments;
    arguments.push_back(SplitProgramName(commandLine, pos));
    for (;;) {
        while (pos < commandLine.size() && IsBlank(commandLine[pos])) ++pos;
        if (pos == commandLine.size()) break;
        arguments.push_back(SplitArgument(commandLine, pos));
    }
    return arguments;
}

std::string BuildRunCommandLine(const std::string& file, const std::string& arguments) {
    if (arguments.empty()) return file;
    return "\"" + file + "\" " + arguments;
}

std::string FindProgramOnPath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return "";
    const char* variable = std::getenv("PATH");
    std::string path = variable ? variable : "";
    std::size_t start = 0;
    for (;;) {
        std::size_t end = path.find(':', start);
        std::string folder = path.substr(start, end == std::string::npos ? end : end - start);
        std::string candidate = folder.empty() ? name : folder + "/" + name;
        if (IsExecutableFile(candidate)) {
            std::error_code error;
            std::filesystem::path absolute = std::filesystem::absolute(candidate, error);
            return error ? candidate : absolute.string();
        }
        if (end == std::string::npos) return "";
        start = end + 1;
    }
}

int RunProgram(const std::string& commandLine, const std::string& workingFolder, bool wait, int windowMode,
               const std::function<void()>& serveEvents) {
    // Window states belong to the started program's toolkit; Linux has no launcher-side setting
    // that arbitrary programs honour, so the mode is accepted and has no effect.
    (void)windowMode;

    std::vector<std::string> arguments = SplitWindowsCommandLine(commandLine);
    if (arguments.empty() || arguments[0].empty()) return kRunFileNotFound;

    if (!workingFolder.empty()) {
        struct stat info;
        if (stat(workingFolder.c_str(), &info) != 0) {
            return errno == EACCES ? kRunAccessDenied : kRunPathNotFound;
        }
        if (!S_ISDIR(info.st_mode)) return kRunPathNotFound;
    }

    const std::string& program = arguments[0];
    std::string programPath;
    if (program.find('/') != std::string::npos) {
        std::filesystem::path path(program);
        if (path.is_relative() && !workingFolder.empty()) path = workingFolder / path;
        std::error_code error;
        path = std::filesystem::absolute(path, error);
        if (error) return kRunPathNotFound;
        programPath = path.string();
        struct stat info;
        if (stat(programPath.c_str(), &info) != 0) return ErrorNumberFor(errno);
        if (S_ISDIR(info.st_mode)) return kRunAccessDenied;
    } else {
        programPath = FindProgramOnPath(program);
    }

    std::vector<std::string> argv;
    std::string spawnPath;
    if (IsWindowsProgram(program)) {
        spawnPath = FindProgramOnPath("wine");
        if (spawnPath.empty()) return kRunFileNotFound;
        // A bare name that PATH does not know may still be one of wine's own programs.
        argv = {"wine", programPath.empty() ? program : programPath};
    } else {
        if (programPath.empty()) return kRunFileNotFound;
        spawnPath = programPath;
        argv = {program};
    }
    argv.insert(argv.end(), arguments.begin() + 1, arguments.end());

    ChildProcess child;
    int result = child.Start(spawnPath, argv, workingFolder);
    if (result != 0) return result;
    if (wait) child.Wait(serveEvents);
    return 0;
}

ChildProcess::~ChildProcess() {
    if (pid > 0 && !Reap()) ReapInBackground(pid);
    if (pidFd >= 0) close(pidFd);
}

int ChildProcess::Start(const std::string& path, const std::vector<std::string>& argv,
                        const std::string& workingFolder) {
    if (pid > 0) return kRunNoAssociation;
    ReapStrayChildren();

    SpawnSettings settings;
    if (!workingFolder.empty() && posix_spawn_file_actions_addchdir_np(&settings.actions, workingFolder.c_str()) != 0) {
        return kRunOutOfMemory;
    }
    if (CloseInheritedDescriptors(settings.actions) != 0) return kRunOutOfMemory;

    // The child starts with no blocked signals and default dispositions, whatever the player's
    // threads ignore or block (an ignored SIGPIPE would otherwise be inherited).
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    sigdelset(&defaults, SIGKILL);
    sigdelset(&defaults, SIGSTOP);
    posix_spawnattr_setsigmask(&settings.attributes, &none);
    posix_spawnattr_setsigdefault(&settings.attributes, &defaults);
    posix_spawnattr_setflags(&settings.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (const std::string& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);

    pid_t started = -1;
    int error = posix_spawn(&started, path.c_str(), &settings.actions, &settings.attributes, pointers.data(), environ);
    if (error != 0) return ErrorNumberFor(error);
    pid = started;
    exitCode = -1;
    pidFd = OpenPidFd(pid);
    return 0;
}

bool ChildProcess::Reap() {
    if (pid <= 0) return true;
    int status = 0;
    pid_t result;
    do {
        result = waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return false;
    // ECHILD: reaped elsewhere (SIGCHLD set to be ignored); the exit status is lost.
    exitCode = result == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid = -1;
    if (pidFd >= 0) {
        close(pidFd);
        pidFd = -1;
    }
    return true;
}

bool ChildProcess::WaitUntil(const std::optional<std::chrono::steady_clock::time_point>& deadline,
                             const std::function<void()>& serveEvents) {
    // Short waits between rounds keep the player's events flowing; the pidfd (when the kernel
    // has them) ends the wait as soon as the child exits instead of at the end of the round.
    constexpr std::chrono::milliseconds kRound(20);
    for (;;) {
        if (Reap()) return true;
        std::chrono::milliseconds round = kRound;
        if (deadline) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            round = std::min(round, left);
        }
        if (serveEvents) serveEvents();
        if (pidFd >= 0) {
            pollfd entry{pidFd, POLLIN, 0};
            poll(&entry, 1, static_cast<int>(round.count()));
        } else {
            poll(nullptr, 0, static_cast<int>(round.count()));
        }
    }
}

bool ChildProcess::WaitFor(std::chrono::milliseconds timeout, const std::function<void()>& serveEvents) {
    return WaitUntil(std::chrono::steady_clock::now() + timeout, serveEvents);
}

void ChildProcess::Wait(const std::function<void()>& serveEvents) {
    WaitUntil(std::nullopt, serveEvents);
}
