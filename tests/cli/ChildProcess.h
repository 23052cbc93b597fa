#pragma once

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace harvina::test {

// harvina-cli started as a real process with pipes on its standard streams.
class ChildProcess {
public:
    struct Result {
        int exitCode = -1;
        std::string out;
        std::string err;
    };

    // `environment`: extra "NAME=value" entries.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& input,
                 const std::vector<std::string>& environment = {})
    {
        int in[2], out[2], err[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> argvText {program};
        argvText.insert(argvText.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : argvText)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        // Built before fork: the child may only exec.
        std::vector<std::string> envText(environment);
        std::vector<char*> envp;
        for (std::string& e : envText)
            envp.push_back(e.data());
        for (char** e = environ; *e; ++e)
            envp.push_back(*e);
        envp.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            ::execve(program.c_str(), argv.data(), envp.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        ::close(err[1]);
        outFd_ = out[0];
        errFd_ = err[0];
        // Small inputs fit the pipe buffer, so this cannot block.
        if (!input.empty() && ::write(in[1], input.data(), input.size()) < 0)
            input_failed_ = true;
        ::close(in[1]);
    }
    ~ChildProcess()
    {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void Signal(int signal) const { ::kill(pid_, signal); }

    // Reads both streams to their end, then reaps the process.
    Result Wait()
    {
        Result result;
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        std::string* sinks[2] = {&result.out, &result.err};
        int open = 2;
        while (open > 0 && ::poll(fds, 2, 10000) > 0) {
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                    continue;
                char buffer[4096];
                const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(n));
                } else {
                    ::close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        reaped_ = true;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return result;
    }

private:
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    bool reaped_ = false;
    bool input_failed_ = false;
};

inline ChildProcess::Result RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::string& input = {},
                                       const std::vector<std::string>& environment = {})
{
    ChildProcess child(program, arguments, input, environment);
    return child.Wait();
}

} // namespace harvina::test
