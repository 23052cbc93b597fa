#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

#include "engine/ExtractionHost.h"

namespace harvina::fuzz {

// A headless job host whose check boxes come from the fuzz input. It watches what
// the filters accept and aborts on an accepted domain that breaks their rules.
class FuzzHost : public ExtractionHost {
public:
    struct Boxes {
        bool extractText = true;
        bool extractLinks = true;
        bool imagesOnly = false;
        bool restrictSuffix = false;
    };

    explicit FuzzHost(const Boxes& boxes) : boxes_(boxes) {}

    // Empties the job's duplicate set and takes the suffix list, as a job start does.
    void StartJob(const std::string& suffixText);
    // Which pass the next candidates come from: text matches are cleaned and lowered.
    void SetTextPass(bool textPass) { textPass_ = textPass; }
    [[nodiscard]] int accepted() const { return accepted_; }

    std::string StartCaption() override { return caption_; }
    void SetStartCaption(const std::string& caption) override { caption_ = caption; }
    std::string InputText() override { return {}; }
    std::string SaveFolder() override { return {}; }
    std::string SuffixText() override { return {}; }
    int ThreadIndex() override { return 0; }
    void ProcessEvents() override {}
    void ShowCompletionMessage(const std::string&) override {}
    void ShowResultFileError(const std::string&, const std::string&) override {}
    void SetStatusText(int part, const std::string& text) override;
    bool ExtractTextChecked() override { return boxes_.extractText; }
    bool ExtractLinksChecked() override { return boxes_.extractLinks; }
    bool ImagesOnlyChecked() override { return boxes_.imagesOnly; }
    bool RestrictSuffixChecked() override { return boxes_.restrictSuffix; }
    void DomainAccepted(const std::string& domain) override;

private:
    Boxes boxes_;
    std::string caption_;
    bool textPass_ = false;
    int accepted_ = 0;
    std::int32_t countBefore_ = 0;
    std::unordered_set<std::string> written_;
};

// Prints what broke and aborts, so libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* what, const std::string& detail);

} // namespace harvina::fuzz
