#pragma once

#include <string>

namespace harvina {

// What an extraction job needs from the program that runs it (the window, the
// command line, a test). Job control and the page workers reach their host only
// through this interface. Every text crossing it is local text (GB18030); the
// host converts at its own edge.
//
// Threads: job control runs on the host's UI thread, inside the start button's
// handler (ToggleExtraction), and calls the "UI thread" members from there. The
// workers run on their own threads and call the "any thread" members while the
// UI thread may be blocked in ProcessEvents or elsewhere; the host answers
// those without touching widgets from the worker (queued calls, cached values).
class ExtractionHost {
public:
    virtual ~ExtractionHost() = default;

    // --- UI thread --------------------------------------------------------

    // Caption of the start button: "开始提取" idle, "停止提取" / "正在停止"
    // while a job runs. Job control decides from it whether a press is a
    // start or a stop request, so the host returns exactly what was set last
    // (the window's initial caption is "开始提取").
    [[nodiscard]] virtual std::string StartCaption() = 0;
    virtual void SetStartCaption(const std::string& caption) = 0;

    // The whole text of the input box, lines separated by "\r\n".
    [[nodiscard]] virtual std::string InputText() = 0;
    // The save folder box, as typed (no trailing "/").
    [[nodiscard]] virtual std::string SaveFolder() = 0;
    // The suffix box, items separated by "|"; taken once at job start.
    [[nodiscard]] virtual std::string SuffixText() = 0;
    // Current index of the thread list (0 to 19; the job allows index + 1
    // workers). Read afresh before every worker start.
    [[nodiscard]] virtual int ThreadIndex() = 0;

    // Process all pending events once. A press of the start button handled
    // here calls ToggleExtraction again (nested): that is the stop request.
    virtual void ProcessEvents() = 0;

    // The completion message (title "信息：", information icon, OK). Returns
    // when the user has dismissed it; a headless host prints it and returns.
    virtual void ShowCompletionMessage(const std::string& text) = 0;

    // The result file could not be created; no job was started. `text` is
    // the message to show (same kind of box as the completion message),
    // `path` the file that failed, for hosts that report it their own way.
    virtual void ShowResultFileError(const std::string& text, const std::string& path) = 0;

    // The job's result file was created at `path`; its workers start next.
    virtual void ResultFileOpened(const std::string& /*path*/) {}

    // --- any thread -------------------------------------------------------

    // One of the four status-bar parts (0 to 3): 0 workers started, 1 workers
    // running, 2 domains extracted, 3 title of the last page parsed.
    virtual void SetStatusText(int part, const std::string& text) = 0;

    // The four check boxes, read at the moment of use from worker threads.
    [[nodiscard]] virtual bool ExtractTextChecked() = 0;    // "提取文本网址"
    [[nodiscard]] virtual bool ExtractLinksChecked() = 0;   // "提取超链接网址"
    [[nodiscard]] virtual bool ImagesOnlyChecked() = 0;     // "仅限提取带图片域名"
    [[nodiscard]] virtual bool RestrictSuffixChecked() = 0; // "限定后缀"

    // A domain was accepted and counted (called under the job lock, so one
    // at a time, in result-file order). Most hosts need nothing here.
    virtual void DomainAccepted(const std::string& /*domain*/) {}
};

} // namespace harvina
