#pragma once

#include "settings/SettingsHost.h"

namespace harvina {

// The settings store's host in the desktop program: it pumps Qt's events and
// shows the store's messages through the program's message boxes.
class QtSettingsHost final : public SettingsHost {
public:
    void ProcessPendingEvents() override;
    void ShowMessage(const SettingsMessage& message) override;
};

} // namespace harvina
