#include "app/InitApplication.h"

#include "app/ProgramDirectory.h"
#include "settings/SettingsStore.h"

namespace harvina {

namespace {

struct ApplicationNames {
    std::string appName;
    std::string settingsPath;
};

ApplicationNames& Names()
{
    static ApplicationNames names;
    return names;
}

} // namespace

SettingsStore& GlobalSettingsStore()
{
    static SettingsStore store;
    return store;
}

bool InitApplication(const std::string& name)
{
    ApplicationNames& names = Names();
    names.appName = name;
    names.settingsPath = ProgramDirectory() + "/" + names.appName + ".ini";
    return GlobalSettingsStore().OpenFile(names.settingsPath, StorageMode::Disk);
}

const std::string& AppName() { return Names().appName; }
const std::string& SettingsPath() { return Names().settingsPath; }

} // namespace harvina
