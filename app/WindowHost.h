#pragma once

#include "engine/ExtractionHost.h"

#include <atomic>

namespace harvina {

class MainWindow;

// The main window as the extraction job's host. Status texts from worker
// threads reach the widgets as queued calls on the UI thread; the check boxes
// are mirrored in atomics so workers read them without touching a widget.
class WindowHost final : public ExtractionHost {
public:
    explicit WindowHost(MainWindow& window) : window_(window) {}

    // Takes the check boxes' current states (UI thread; on every toggle).
    void MirrorChecks();
    // True while a job started from the window is running.
    [[nodiscard]] bool JobRunning() const { return jobDepth_ > 0; }

    // Runs the start button's operation; nested calls are stop requests.
    void Toggle(bool useWinInet);

    [[nodiscard]] std::string StartCaption() override;
    void SetStartCaption(const std::string& caption) override;
    [[nodiscard]] std::string InputText() override;
    [[nodiscard]] std::string SaveFolder() override;
    [[nodiscard]] std::string SuffixText() override;
    [[nodiscard]] int ThreadIndex() override;
    void ProcessEvents() override;
    void ShowCompletionMessage(const std::string& text) override;
    void ShowResultFileError(const std::string& text, const std::string& path) override;

    void SetStatusText(int part, const std::string& text) override;
    [[nodiscard]] bool ExtractTextChecked() override { return extractText_; }
    [[nodiscard]] bool ExtractLinksChecked() override { return extractLinks_; }
    [[nodiscard]] bool ImagesOnlyChecked() override { return imagesOnly_; }
    [[nodiscard]] bool RestrictSuffixChecked() override { return restrictSuffix_; }

private:
    MainWindow& window_;
    int jobDepth_ = 0;
    std::atomic<bool> extractText_{false};
    std::atomic<bool> extractLinks_{false};
    std::atomic<bool> imagesOnly_{false};
    std::atomic<bool> restrictSuffix_{false};
};

} // namespace harvina
