#include "app/SettingsLocation.h"

#include "platform/Charset.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace harvina {
namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SettingsLocation, UserFileFollowsTheXdgRules)
{
    const std::string name = LocalText("Vortan·Harvina");
    ScopedEnv home("HOME", "/home/u");
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(UserSettingsPath(name), "/cfg/Harvina/" + name + ".ini");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(UserSettingsPath(name), "/home/u/.config/Harvina/" + name + ".ini");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", "relative/dir");
        EXPECT_EQ(UserSettingsPath(name), "/home/u/.config/Harvina/" + name + ".ini") << "relative paths are ignored";
    }
}

TEST(SettingsLocation, ProgramFolderFirstWhenWritable)
{
    ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
    const std::string writable = LocalPath(std::filesystem::temp_directory_path().string());
    EXPECT_EQ(ChooseSettingsPath(writable, "app"), writable + "/app.ini");
    EXPECT_EQ(ChooseSettingsPath("/no/such/folder", "app"), "/cfg/Harvina/app.ini");
    EXPECT_EQ(ChooseSettingsPath("", "app"), "/cfg/Harvina/app.ini");
}

} // namespace
} // namespace harvina
