// Runs a built program as a child process for the tests that check its output: standard input
// from /dev/null, both output streams captured, a deadline and an output cap after which the
// child is killed, and the way it ended.
#ifndef ORVEX_TESTS_RUN_PROGRAM_H
#define ORVEX_TESTS_RUN_PROGRAM_H

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace NOrvexTest {

struct ProgramRun {
    bool started = false;        // false: no child at all, err says why
    int status = -1;             // exit status when it exited, else 128 + signal number
    bool exited = false;         // a normal exit, not a signal
    int signal = 0;              // the signal that ended it
    bool timedOut = false;       // killed by us at the deadline
    bool tooMuchOutput = false;  // killed by us for passing the output cap
    std::string out;
    std::string err;
};

// How it ended and both streams (each cut after a few thousand bytes), for failure messages.
std::ostream& operator<<(std::ostream& os, const ProgramRun& run);

struct RunOptions {
    std::vector<std::string> extraEnv;  // "NAME=value", added to this process's environment or replacing NAME
    int timeoutSeconds = 60;
    std::size_t maxOutput = std::size_t{1} << 20;  // per stream
};

// Runs the executable at `path` with `argv` (argv[0] included; it may differ from path) and
// returns once the child is reaped.
ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& argv, const RunOptions& options = {});

}  // namespace NOrvexTest

#endif  // ORVEX_TESTS_RUN_PROGRAM_H
