#include "tests/settings/SettingsTestSupport.h"

#include "platform/Charset.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace harvina::test {

TempFolder::TempFolder()
{
    std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path().string();
    std::string pattern = base + "/harvina-settings-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        ADD_FAILURE() << "mkdtemp failed in " << base;
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& nativePath)
{
    std::ifstream in(nativePath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& nativePath, std::string_view bytes)
{
    std::ofstream out(nativePath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& nativePath) { return std::filesystem::exists(nativePath); }

std::string L(std::string_view utf8) { return LocalText(utf8); }

std::string Lines(std::initializer_list<std::string_view> utf8Lines)
{
    std::string out;
    bool first = true;
    for (std::string_view line : utf8Lines) {
        if (!first)
            out += "\r\n";
        first = false;
        out += LocalText(line);
    }
    return out;
}

void RecordingHost::ProcessPendingEvents()
{
    ++pumps;
    if (onEvents) {
        auto hook = onEvents; // the hook may replace itself
        hook();
    }
}

} // namespace harvina::test
