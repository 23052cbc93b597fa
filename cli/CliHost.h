#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "engine/ExtractionHost.h"

namespace harvina {

// What the command line sets up for one job; texts are local (GB18030).
struct CliJobSettings {
    std::string inputText;
    std::string saveFolder;
    std::string suffixText;
    int threadIndex = 5;
    bool extractText = true;
    bool extractLinks = true;
    bool imagesOnly = false;
    bool restrictSuffix = false;
    bool printDomains = false;
    bool quiet = false;
    bool progress = false; // a live progress line on standard error
};

// The headless host: its UI thread is main. Event processing turns a Ctrl-C
// into the stop request and refreshes the progress line. Terminal output is
// UTF-8.
class CliHost final : public ExtractionHost {
public:
    explicit CliHost(CliJobSettings settings);

    // Installs the Ctrl-C handler: the first press asks the job to stop, the
    // next one ends the process as usual.
    static void InstallInterruptHandler();
    // What the SIGINT handler sets; tests may set it too.
    static std::atomic<bool>& InterruptFlag();

    [[nodiscard]] bool ResultFileFailed() const { return resultFileFailed_; }

    std::string StartCaption() override { return caption_; }
    void SetStartCaption(const std::string& caption) override { caption_ = caption; }
    std::string InputText() override { return settings_.inputText; }
    std::string SaveFolder() override { return settings_.saveFolder; }
    std::string SuffixText() override { return settings_.suffixText; }
    int ThreadIndex() override { return settings_.threadIndex; }
    void ProcessEvents() override;
    void ShowCompletionMessage(const std::string& text) override;
    void ShowResultFileError(const std::string& text, const std::string& path) override;
    void ResultFileOpened(const std::string& path) override;

    void SetStatusText(int part, const std::string& text) override;
    bool ExtractTextChecked() override { return settings_.extractText; }
    bool ExtractLinksChecked() override { return settings_.extractLinks; }
    bool ImagesOnlyChecked() override { return settings_.imagesOnly; }
    bool RestrictSuffixChecked() override { return settings_.restrictSuffix; }
    void DomainAccepted(const std::string& domain) override;

private:
    void DrawProgress();
    void ClearProgressLocked();
    // Informational lines go to stderr when stdout carries the domains.
    void PrintInfo(const std::string& utf8Line);

    const CliJobSettings settings_;
    std::string caption_;
    bool resultFileFailed_ = false;
    std::int64_t lastDraw_ = 0;

    std::mutex consoleMutex_; // the progress line and printed domains
    bool progressShown_ = false;
    std::mutex statusMutex_;
    std::array<std::string, 4> status_;
};

} // namespace harvina
