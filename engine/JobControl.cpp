#include "engine/JobControl.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <sys/stat.h>

#include "app/ExtractionState.h"
#include "engine/ExtractionHost.h"
#include "engine/FolderTree.h"
#include "engine/JobClock.h"
#include "engine/JobThreads.h"
#include "engine/PageWorker.h"
#include "platform/Charset.h"

namespace harvina {

namespace {

constexpr int kMaxThreads = 20;
constexpr int kPumpSteps = 10;
constexpr std::chrono::milliseconds kPumpStep{10};

const std::string& IdleCaption()
{
    static const std::string kText = LocalText("开始提取");
    return kText;
}

bool PathExists(const std::string& path)
{
    struct stat info {};
    return ::stat(NativePath(path).c_str(), &info) == 0;
}

// Step 11: false when a stop was requested while waiting or before.
bool WaitForSlot(ExtractionHost& host, JobThreads& threads)
{
    ExtractionState& state = GlobalExtractionState();
    while (state.runningCount >= ThreadLimit(host.ThreadIndex())) {
        PumpWait(host, threads);
        if (state.stopRequested)
            break;
    }
    return !state.stopRequested;
}

void DispatchListFile(ExtractionHost& host, JobThreads& threads, const std::string& path)
{
    ExtractionState& state = GlobalExtractionState();
    // A file that cannot be opened counts as being at its end.
    state.listFile.Open(path);
    while (!state.listFile.AtEnd()) {
        if (!WaitForSlot(host, threads))
            break;
        ++state.runningCount;
        ++state.startedCount;
        threads.Start([&host] { ListFileWorker(host); });
        host.ProcessEvents();
    }
    // The list file orders this close after a worker's read in progress.
    state.listFile.Close();
}

void Dispatch(ExtractionHost& host, JobThreads& threads)
{
    ExtractionState& state = GlobalExtractionState();
    const int n = static_cast<int>(state.inputLines.size());
    for (int i = 1; i <= n; ++i) {
        const std::string& line = state.inputLines[static_cast<std::size_t>(i - 1)];
        if (line.empty())
            continue;
        if (PathExists(line)) {
            DispatchListFile(host, threads, line);
            continue;
        }
        if (!WaitForSlot(host, threads))
            break;
        ++state.runningCount;
        ++state.startedCount;
        threads.Start([&host, i] { ListEntryWorker(host, i); });
    }
}

std::string CompletionText(const ExtractionState& state)
{
    static const std::string kHead = LocalText("提取完成，已提取 ");
    static const std::string kTail = LocalText(" 个域名！");
    static const std::string kUnwrittenHead = LocalText("\r\n其中 ");
    static const std::string kUnwrittenTail = LocalText(" 个域名未能写入结果文件！");
    std::string text = kHead + std::to_string(state.extractedCount.load()) + kTail +
                       FormatElapsed(TickCount() - state.startTick);
    if (state.unwrittenCount > 0)
        text += kUnwrittenHead + std::to_string(state.unwrittenCount) + kUnwrittenTail;
    return text;
}

} // namespace

std::vector<std::string> SplitInputLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

int ThreadLimit(int threadIndex) { return std::clamp(threadIndex + 1, 1, kMaxThreads); }

void PumpWait(ExtractionHost& host, JobThreads& threads)
{
    const ExtractionState& state = GlobalExtractionState();
    const std::uint64_t seen = threads.EndCount();
    for (int step = 0; step < kPumpSteps; ++step) {
        const bool ended = threads.WaitForEnd(seen, kPumpStep);
        host.ProcessEvents();
        if (ended || state.stopRequested)
            break;
    }
    threads.ReapFinished();
}

void ListFileWorker(ExtractionHost& host)
{
    ExtractionState& state = GlobalExtractionState();
    std::string line;
    {
        std::lock_guard lock(*state.jobLock);
        line = state.listFile.ReadLine();
    }
    if (line.empty()) {
        --state.runningCount;
        return;
    }
    ProcessPage(host, line);
}

void ListEntryWorker(ExtractionHost& host, int index)
{
    const ExtractionState& state = GlobalExtractionState();
    ProcessPage(host, state.inputLines[static_cast<std::size_t>(index - 1)]);
}

void ToggleExtraction(ExtractionHost& host)
{
    static const std::string kRunningCaption = LocalText("停止提取");
    static const std::string kDrainingCaption = LocalText("正在停止");
    static const std::string kThreads = LocalText(" 个线程");
    static const std::string kCannotCreate = LocalText("无法创建结果文件：");

    ExtractionState& state = GlobalExtractionState();
    if (host.StartCaption() != IdleCaption()) {
        host.SetStartCaption(kRunningCaption);
        state.stopRequested = true;
        return;
    }

    host.SetStartCaption(kRunningCaption);
    state.stopRequested = false;
    state.startedCount = 0;
    state.runningCount = 0;
    state.extractedCount = 0;
    state.unwrittenCount = 0;
    state.inputLines = SplitInputLines(host.InputText());

    const std::string folder = host.SaveFolder();
    CreateFolderTree(folder + "/");
    const std::string resultPath = folder + "/" + FormatTimestamp() + ".txt";
    if (!state.resultFile.Open(resultPath)) {
        // Counting domains that cannot be stored would report a failure as
        // success: say so and start nothing.
        host.SetStartCaption(IdleCaption());
        host.ShowResultFileError(kCannotCreate + resultPath, resultPath);
        return;
    }
    host.ResultFileOpened(resultPath);
    state.jobLock = std::make_unique<std::mutex>();
    state.seenDomains.Clear();
    state.startTick = TickCount();
    state.suffixText = host.SuffixText();

    {
        JobThreads threads;
        Dispatch(host, threads);
        host.SetStartCaption(kDrainingCaption);
        while (state.runningCount != 0)
            PumpWait(host, threads);
        // Every worker has passed its last decrement; their returns are near.
        threads.JoinAll();
    }

    host.SetStatusText(1, std::to_string(state.runningCount.load()) + kThreads);
    state.jobLock.reset();
    state.resultFile.Close();
    host.SetStartCaption(IdleCaption());
    host.ShowCompletionMessage(CompletionText(state));
}

} // namespace harvina
