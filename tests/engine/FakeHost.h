#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/ExtractionHost.h"
#include "platform/Charset.h"

namespace harvina::test {

// A host for jobs under test: options are plain fields (atomic where workers
// read them), everything the engine shows is recorded. Texts are local.
class FakeHost : public ExtractionHost {
public:
    std::string inputText;
    std::string saveFolder;
    std::string suffixText = ".com|.cn|.net";
    std::atomic<int> threadIndex{5};
    std::atomic<bool> extractText{true};
    std::atomic<bool> extractLinks{true};
    std::atomic<bool> imagesOnly{false};
    std::atomic<bool> restrictSuffix{false};
    // Run inside every ProcessEvents (the place where a stop press arrives).
    std::function<void(FakeHost&)> onEvents;

    std::vector<std::string> captions;   // every caption set, in order
    std::vector<std::string> messages;   // completion messages
    std::vector<std::string> fileErrors; // result-file messages
    std::string resultPath;

    std::string StartCaption() override { return caption_; }
    void SetStartCaption(const std::string& caption) override
    {
        caption_ = caption;
        captions.push_back(caption);
    }
    std::string InputText() override { return inputText; }
    std::string SaveFolder() override { return saveFolder; }
    std::string SuffixText() override { return suffixText; }
    int ThreadIndex() override { return threadIndex; }
    void ProcessEvents() override
    {
        if (onEvents)
            onEvents(*this);
    }
    void ShowCompletionMessage(const std::string& text) override { messages.push_back(text); }
    void ShowResultFileError(const std::string& text, const std::string&) override { fileErrors.push_back(text); }
    void ResultFileOpened(const std::string& path) override { resultPath = path; }

    void SetStatusText(int part, const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        status_.at(static_cast<std::size_t>(part)) = text;
        history_.at(static_cast<std::size_t>(part)).push_back(text);
    }
    bool ExtractTextChecked() override { return extractText; }
    bool ExtractLinksChecked() override { return extractLinks; }
    bool ImagesOnlyChecked() override { return imagesOnly; }
    bool RestrictSuffixChecked() override { return restrictSuffix; }

    // Status texts as UTF-8, for readable expectations.
    std::string Status(int part)
    {
        std::lock_guard lock(mutex_);
        return Utf8Text(status_.at(static_cast<std::size_t>(part)));
    }
    std::vector<std::string> StatusHistory(int part)
    {
        std::lock_guard lock(mutex_);
        std::vector<std::string> out;
        for (const std::string& text : history_.at(static_cast<std::size_t>(part)))
            out.push_back(Utf8Text(text));
        return out;
    }

private:
    std::string caption_ = LocalText("开始提取");
    std::mutex mutex_;
    std::array<std::string, 4> status_;
    std::array<std::vector<std::string>, 4> history_;
};

} // namespace harvina::test
