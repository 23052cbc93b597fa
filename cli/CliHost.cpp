#include "cli/CliHost.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

#include "app/ExtractionState.h"
#include "engine/JobClock.h"
#include "engine/JobControl.h"
#include "platform/Charset.h"

namespace harvina {

namespace {

constexpr std::int64_t kProgressIntervalMs = 100;
constexpr std::size_t kTitleCodePoints = 40;

extern "C" void OnInterrupt(int) { CliHost::InterruptFlag().store(true); }

// Local text for the terminal, CR LF turned into plain line breaks.
std::string TerminalText(const std::string& local)
{
    std::string utf8 = Utf8Text(local);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i)
        if (!(utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n'))
            out += utf8[i];
    return out;
}

// At most `limit` code points, blanks at both ends and control bytes gone.
std::string ShortTitle(const std::string& utf8, std::size_t limit)
{
    std::string out;
    std::size_t codePoints = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20)
            continue;
        if ((byte & 0xC0) != 0x80 && ++codePoints > limit)
            break;
        out += c;
    }
    const std::size_t first = out.find_first_not_of(' ');
    const std::size_t last = out.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
}

} // namespace

CliHost::CliHost(CliJobSettings settings) : settings_(std::move(settings)), caption_(LocalText("开始提取")) {}

std::atomic<bool>& CliHost::InterruptFlag()
{
    static std::atomic<bool> flag{false};
    return flag;
}

void CliHost::InstallInterruptHandler()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND; // a second Ctrl-C ends the process
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void CliHost::ProcessEvents()
{
    if (InterruptFlag().exchange(false))
        ToggleExtraction(*this);
    const std::int64_t now = TickCount();
    if (settings_.progress && now - lastDraw_ >= kProgressIntervalMs) {
        lastDraw_ = now;
        DrawProgress();
    }
}

void CliHost::DrawProgress()
{
    const ExtractionState& state = GlobalExtractionState();
    const int started = state.startedCount;
    const int running = state.runningCount;
    std::string title;
    {
        std::lock_guard lock(statusMutex_);
        title = status_[3];
    }
    const std::string line = "页面：完成 " + std::to_string(started - running) + " / 已启动 " +
                             std::to_string(started) + " / 运行中 " + std::to_string(running) + "，域名 " +
                             std::to_string(state.extractedCount.load()) + "  " +
                             ShortTitle(Utf8Text(title), kTitleCodePoints);
    std::lock_guard lock(consoleMutex_);
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    progressShown_ = true;
}

void CliHost::ClearProgressLocked()
{
    if (!progressShown_)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    progressShown_ = false;
}

void CliHost::PrintInfo(const std::string& utf8Line)
{
    std::lock_guard lock(consoleMutex_);
    ClearProgressLocked();
    std::FILE* stream = settings_.printDomains ? stderr : stdout;
    std::fprintf(stream, "%s\n", utf8Line.c_str());
    std::fflush(stream);
}

void CliHost::ShowCompletionMessage(const std::string& text)
{
    if (!settings_.quiet)
        PrintInfo(TerminalText(text));
}

void CliHost::ShowResultFileError(const std::string& text, const std::string& /*path*/)
{
    resultFileFailed_ = true;
    std::lock_guard lock(consoleMutex_);
    ClearProgressLocked();
    std::fprintf(stderr, "harvina-cli: %s\n", TerminalText(text).c_str());
}

void CliHost::ResultFileOpened(const std::string& path)
{
    if (!settings_.quiet)
        PrintInfo(Utf8Text(LocalText("结果文件：") + path));
}

void CliHost::SetStatusText(int part, const std::string& text)
{
    if (part < 0 || part >= static_cast<int>(status_.size()))
        return;
    std::lock_guard lock(statusMutex_);
    status_[static_cast<std::size_t>(part)] = text;
}

void CliHost::DomainAccepted(const std::string& domain)
{
    if (!settings_.printDomains)
        return;
    std::lock_guard lock(consoleMutex_);
    ClearProgressLocked();
    const std::string line = Utf8Text(domain) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

} // namespace harvina
