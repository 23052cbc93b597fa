#pragma once

#include "settings/SettingsMessage.h"

namespace harvina {

// What the store needs from the program that hosts it. The desktop program pumps
// its event loop and shows message boxes; the CLI and tests use their own.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;

    // Called once per search pass; an event handled here may call the store again.
    virtual void ProcessPendingEvents() {}
    virtual void ShowMessage(const SettingsMessage& /*message*/) {}
};

} // namespace harvina
