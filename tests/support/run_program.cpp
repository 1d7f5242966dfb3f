#include "support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace NOrvexTest {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kShownBytes = 4000;

void ShowStream(std::ostream& os, const char* name, const std::string& text) {
    os << "\n--- " << name << "\n" << text.substr(0, kShownBytes);
    if (text.size() > kShownBytes) {
        os << "\n[... " << text.size() - kShownBytes << " more bytes]\n";
    }
}

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

// This process's environment with the extra entries in place of any of the same name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> names;
    for (const std::string& entry : extra) {
        names.push_back(NameOf(entry));
    }
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (std::find(names.begin(), names.end(), NameOf(entry)) == names.end()) {
            env.push_back(entry);
        }
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

ProgramRun NotStarted(const std::string& what, int error) {
    ProgramRun run;
    run.err = what + ": " + std::strerror(error);
    return run;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const ProgramRun& run) {
    if (!run.started) {
        return os << "not started: " << run.err;
    }
    os << "status " << run.status;
    if (!run.exited) {
        os << " (signal " << run.signal;
        if (run.timedOut) {
            os << ", killed at the deadline";
        } else if (run.tooMuchOutput) {
            os << ", killed for too much output";
        }
        os << ")";
    }
    ShowStream(os, "stdout", run.out);
    ShowStream(os, "stderr", run.err);
    return os << "\n---";
}

ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& argv, const RunOptions& options) {
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        return NotStarted("cannot make a pipe", errno);
    }
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        const int error = errno;
        close(outPipe[0]);
        close(outPipe[1]);
        return NotStarted("cannot make a pipe", error);
    }
    // The read ends are close-on-exec; dup2 gives the child write ends without the flag.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::vector<std::string> args = argv;
    std::vector<std::string> env = ChildEnvironment(options.extraEnv);
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, path.c_str(), &actions, nullptr, Pointers(args).data(), Pointers(env).data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return NotStarted("cannot start " + path, spawned);
    }

    ProgramRun run;
    run.started = true;
    const auto deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    bool killed = false;
    const auto killChild = [&](bool& reason) {
        kill(pid, SIGKILL);
        killed = true;
        reason = true;
    };

    // Both streams at once, so that a child filling one pipe never blocks on it.
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0 && !killed) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            killChild(run.timedOut);
            break;
        }
        const int ready = poll(fds, 2, static_cast<int>(std::min<long long>(left, 1000)));
        if (ready < 0 && errno != EINTR) {
            killChild(run.timedOut);  // cannot wait for output any more: end it rather than hang
            break;
        }
        for (int k = 0; k < 2 && ready > 0; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0) {
                continue;
            }
            char buf[4096];
            const ssize_t n = read(fds[k].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[k]->append(buf, static_cast<std::size_t>(n));
                if (sinks[k]->size() > options.maxOutput) {
                    killChild(run.tooMuchOutput);
                }
            } else if (n == 0 || errno != EINTR) {
                close(fds[k].fd);
                fds[k].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& p : fds) {
        if (p.fd >= 0) {
            close(p.fd);
        }
    }

    // Reaped in every case; a child that closed its streams but goes on still meets the deadline.
    int wstatus = 0;
    for (;;) {
        const pid_t reaped = waitpid(pid, &wstatus, killed ? 0 : WNOHANG);
        if (reaped == pid) {
            break;
        }
        if (reaped < 0 && errno != EINTR) {
            run.err += "\n[waitpid failed: " + std::string(std::strerror(errno)) + "]";
            return run;
        }
        if (reaped == 0) {
            if (Clock::now() > deadline) {
                killChild(run.timedOut);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }
    run.exited = WIFEXITED(wstatus);
    if (run.exited) {
        run.status = WEXITSTATUS(wstatus);
    } else {
        run.signal = WTERMSIG(wstatus);
        run.status = 128 + run.signal;
    }
    return run;
}

}  // namespace NOrvexTest
