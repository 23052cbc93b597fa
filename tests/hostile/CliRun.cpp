#include "tests/hostile/CliRun.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <thread>
#include <iterator>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harvina::testing {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kCompletionHead = "提取完成，已提取 ";
constexpr std::string_view kCompletionTail = " 个域名！";
constexpr std::string_view kResultFileHead = "结果文件：";

int CountTasks(pid_t pid)
{
    DIR* dir = opendir(("/proc/" + std::to_string(pid) + "/task").c_str());
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.')
            ++count;
    closedir(dir);
    return count;
}

long StatusValueKiB(pid_t pid, std::string_view key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, key.size(), key) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

constexpr int kHoldPollMs = 5;
constexpr char kFiller = '\0';

// Fills the pipe whose read end is `readFd` through a second, non-blocking
// opening of it, so that the child's next write blocks: its completion message
// then holds it between the message and its exit. Returns that opening (to be
// closed to let the child go on), or -1.
int FillPipe(int readFd)
{
    const int fd = open(("/proc/self/fd/" + std::to_string(readFd)).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const std::string filler(4096, kFiller);
    for (;;) {
        const ssize_t n = write(fd, filler.data(), filler.size());
        if (n > 0)
            continue;
        if (n < 0 && errno == EAGAIN) {
            // Single bytes until not even one fits.
            while (write(fd, filler.data(), 1) == 1) {
            }
            return fd;
        }
        close(fd);
        return -1;
    }
}

// True when the child's main thread waits in a write to its standard output.
bool BlockedWritingStdout(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
    long number = -1;
    std::string firstArgument;
    in >> number >> firstArgument;
    return in && number == SYS_write && firstArgument == "0x1";
}

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

} // namespace

CliRunResult RunCli(const std::string& program, const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment, std::chrono::seconds limit,
                    std::chrono::milliseconds settleLimit)
{
    CliRunResult result;
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return result;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return result;
    }
    // Everything the child needs is built before fork: afterwards it may only exec.
    std::vector<std::string> argvText{program};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argvText)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText(environment);
    std::vector<char*> envp;
    for (std::string& e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (pid < 0) {
        close(out[0]);
        close(err[0]);
        return result;
    }

    bool reaped = false;
    int status = 0;
    rusage usage{};
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int fillFd = -1;
    bool filled = false;
    bool held = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left = limit - (Clock::now() - start);
        if (left <= Clock::duration::zero()) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        const bool holding = filled && !held;
        // While the pipe is kept full, standard output is left unread.
        pollfd watched[2] = {fds[0], fds[1]};
        if (holding)
            watched[0].fd = -1;
        const int waitMs = holding ? kHoldPollMs
                                   : static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(left).count()) + 1;
        if (poll(watched, 2, waitMs) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (watched[i].fd < 0 || !(watched[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[65536];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
                continue;
            }
            close(fds[i].fd);
            fds[i].fd = -1;
        }
        if (!filled && result.out.find(kResultFileHead) != std::string::npos) {
            filled = true;
            fillFd = FillPipe(out[0]);
            held = fillFd < 0;
        }
        if (holding) {
            if (BlockedWritingStdout(pid)) {
                result.threadsAtMessage = CountTasks(pid);
                result.hwmAtMessageKiB = StatusValueKiB(pid, "VmHWM:");
                const auto heldAt = Clock::now();
                result.threadsSettled = result.threadsAtMessage;
                while (result.threadsSettled > 1 && Clock::now() - heldAt < settleLimit) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(kHoldPollMs));
                    result.threadsSettled = CountTasks(pid);
                }
                result.settleSeconds = std::chrono::duration<double>(Clock::now() - heldAt).count();
                held = true;
            } else if (waitpid(pid, &status, WNOHANG) == pid) {
                held = true; // it ended without a message
                reaped = true;
            }
            if (held) {
                close(fillFd);
                fillFd = -1;
            }
        }
    }
    if (fillFd >= 0)
        close(fillFd);
    std::erase(result.out, kFiller);
    for (pollfd& p : fds)
        if (p.fd >= 0)
            close(p.fd);
    if (reaped)
        getrusage(RUSAGE_CHILDREN, &usage);
    else if (wait4(pid, &status, 0, &usage) != pid)
        status = 0;
    result.exitCode = ExitCode(status);
    result.maxRssKiB = usage.ru_maxrss;
    result.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
}

std::vector<std::string> InheritedEnvironment(const std::vector<std::string>& names)
{
    std::vector<std::string> entries;
    for (const std::string& name : names)
        if (const char* value = std::getenv(name.c_str()))
            entries.push_back(name + "=" + value);
    return entries;
}

long CompletionCount(const std::string& output)
{
    const size_t head = output.find(kCompletionHead);
    if (head == std::string::npos)
        return -1;
    const size_t start = head + kCompletionHead.size();
    const size_t tail = output.find(kCompletionTail, start);
    if (tail == std::string::npos || tail == start)
        return -1;
    const std::string digits = output.substr(start, tail - start);
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::strtol(digits.c_str(), nullptr, 10);
}

std::string ResultFilePath(const std::string& output)
{
    const size_t head = output.find(kResultFileHead);
    if (head == std::string::npos)
        return {};
    const size_t start = head + kResultFileHead.size();
    return output.substr(start, output.find('\n', start) - start);
}

bool ReadResultLines(const std::string& path, std::vector<std::string>& lines)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            return false;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return true;
}

} // namespace harvina::testing
