#pragma once

#include <string>

namespace harvina {

// The settings file in the user's configuration folder: $XDG_CONFIG_HOME, else
// ~/.config, then "/Harvina/" + appName + ".ini". Local text.
[[nodiscard]] std::string UserSettingsPath(const std::string& appName);

// Where the settings live: appName + ".ini" in `programDirectory` when that
// folder can be written, otherwise the user's file above, so that an installed
// program still keeps its settings.
[[nodiscard]] std::string ChooseSettingsPath(const std::string& programDirectory, const std::string& appName);

// Binds the process-wide settings store: InitApplication when the program
// folder is writable, else the user's file (its folder created first).
bool OpenApplicationSettings(const std::string& appName);

} // namespace harvina
