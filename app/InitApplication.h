#pragma once

#include <string>

namespace harvina {

class SettingsStore;

// The process-wide settings store (unbound until InitApplication).
[[nodiscard]] SettingsStore& GlobalSettingsStore();

// Stores `name` as the application name, builds the settings path (program
// directory + "/" + name + ".ini") and binds the settings store to that file
// on disk. Returns whether the store could open it.
bool InitApplication(const std::string& name);

// As set by the last InitApplication.
[[nodiscard]] const std::string& AppName();
[[nodiscard]] const std::string& SettingsPath();

} // namespace harvina
