#pragma once

#include "settings/SettingsHost.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace harvina::test {

// A fresh folder, removed with everything in it. RAM-backed when /dev/shm exists,
// since every settings change is flushed to the disk.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }
    [[nodiscard]] std::vector<std::string> Names() const;

private:
    std::string path_;
};

std::string ReadFile(const std::string& nativePath);
void WriteFile(const std::string& nativePath, std::string_view bytes);
bool Exists(const std::string& nativePath);

// Local text from UTF-8, and lines joined by CR LF.
std::string L(std::string_view utf8);
std::string Lines(std::initializer_list<std::string_view> utf8Lines);

// A host that records messages and runs a hook when the store pumps events.
class RecordingHost : public SettingsHost {
public:
    void ProcessPendingEvents() override;
    void ShowMessage(const SettingsMessage& message) override { messages.push_back(message); }

    std::function<void()> onEvents;
    int pumps = 0;
    std::vector<SettingsMessage> messages;
};

} // namespace harvina::test
