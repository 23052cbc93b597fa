#include "app/SettingsLocation.h"

#include "app/InitApplication.h"
#include "app/ProgramDirectory.h"
#include "platform/Charset.h"
#include "settings/SettingsStore.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace harvina {

std::string UserSettingsPath(const std::string& appName)
{
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        base = "/tmp";
    }
    return LocalPath(base) + "/Harvina/" + appName + ".ini";
}

std::string ChooseSettingsPath(const std::string& programDirectory, const std::string& appName)
{
    if (!programDirectory.empty() && ::access(NativePath(programDirectory).c_str(), W_OK) == 0)
        return programDirectory + "/" + appName + ".ini";
    return UserSettingsPath(appName);
}

bool OpenApplicationSettings(const std::string& appName)
{
    const std::string directory = ProgramDirectory();
    const std::string path = ChooseSettingsPath(directory, appName);
    if (path == directory + "/" + appName + ".ini")
        return InitApplication(appName);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(NativePath(path)).parent_path(), error);
    return GlobalSettingsStore().OpenFile(path, StorageMode::Disk);
}

} // namespace harvina
