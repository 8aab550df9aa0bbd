#include "player_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

pid_t Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& stderrFile) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = fork();
    if (child != 0) return child;
    int null = open("/dev/null", O_RDWR);
    int err = stderrFile.empty() ? null : open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(err < 0 ? null : err, STDERR_FILENO);
    // Its own process group, so that what it starts (the web engine) goes with it when killed.
    setpgid(0, 0);
    execv(program.c_str(), argv.data());
    _exit(127);
}

}  // namespace

PlayerRun RunPlayer(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& stderrFile, long long killAfterMs) {
    PlayerRun run;
    auto begin = std::chrono::steady_clock::now();
    pid_t child = Start(program, arguments, stderrFile);
    if (child < 0) return run;
    run.started = true;
    int status = 0;
    rusage usage{};
    for (;;) {
        pid_t done = wait4(child, &status, WNOHANG, &usage);
        auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
        run.wallMs = elapsed.count();
        if (done == child) break;
        if (done < 0) return run;
        if (!run.killed && run.wallMs > killAfterMs) {
            run.killed = true;
            kill(-child, SIGKILL);
            kill(child, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Whatever the player left running in its group goes too.
    kill(-child, SIGKILL);
    run.peakKb = usage.ru_maxrss;
    run.exited = WIFEXITED(status);
    run.status = run.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return run;
}

bool RunQuietly(const std::string& program, const std::vector<std::string>& arguments) {
    pid_t child = Start(program, arguments, "");
    if (child < 0) return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
