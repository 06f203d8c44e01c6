#pragma once
// Runs a program (tallix-report above all) as a child process, with its output
// and error output in files, and something done to it while it runs. A child
// that has not ended after 30 seconds is stopped and reported as hung (a hang
// guard, not a measure).

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace tallix::testsupport {

struct Finished {
    bool hung = false; // stopped after the guard's time
    int signal = 0;    // the signal that ended it, or 0
    int status = -1;   // exit status when it exited
    std::string out{}, err{};
    bool errHas(const std::string& s) const { return err.find(s) != std::string::npos; }
    bool outHas(const std::string& s) const { return out.find(s) != std::string::npos; }
};

// `whileRunning` is called once, right after the start.
inline Finished runProcess(const TempDir& dir, const std::vector<std::string>& argv,
                           const std::function<void(pid_t)>& whileRunning = {}) {
    const std::string outPath = dir.path("run.out"), errPath = dir.path("run.err");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    Finished f;
    if (whileRunning)
        whileRunning(pid);
    int raw = 0;
    const timespec tick{0, 10'000'000};
    for (int waited = 0; ::waitpid(pid, &raw, WNOHANG) == 0; ++waited) {
        if (waited == 30 * 100) {
            f.hung = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &raw, 0);
            break;
        }
        ::nanosleep(&tick, nullptr);
    }
    if (!f.hung) {
        f.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
        f.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    f.out = readBytes(outPath);
    f.err = readBytes(errPath);
    return f;
}

inline Finished runReport(const TempDir& dir, const std::vector<std::string>& args,
                          const std::function<void(pid_t)>& whileRunning = {}) {
    std::vector<std::string> argv{TALLIX_REPORT_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(dir, argv, whileRunning);
}

} // namespace tallix::testsupport
