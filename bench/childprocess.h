#pragma once

// Runs another program for a benchmark and reports its exit status and peak
// memory, as the kernel counted them.

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace lg::bench {

struct ChildResult {
    int status = -1;    // exit status; -1 when it did not exit normally
    long maxRssKb = 0;  // peak resident memory
};

// stdin from `input` and stdout to `output` (truncated), each /dev/null when
// empty.
inline ChildResult runChild(const std::vector<std::string>& argv, const std::string& input = {},
                            const std::string& output = {})
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        const int out = output.empty() ? open("/dev/null", O_WRONLY)
                                       : open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    ChildResult r;
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.maxRssKb = usage.ru_maxrss;
    return r;
}

}  // namespace lg::bench
