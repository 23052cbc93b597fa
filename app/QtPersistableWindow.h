#pragma once

#include "app/QtPersistableControl.h"
#include "settings/PersistableWindow.h"

#include <memory>
#include <vector>

class QWidget;

namespace harvina {

// A Qt window for the settings walk: its controls are the named widgets below
// it, in creation order. The adapters live as long as this object.
class QtPersistableWindow final : public PersistableWindow {
public:
    explicit QtPersistableWindow(QWidget& window) : window_(window) {}

    [[nodiscard]] std::vector<PersistableControl*> Controls() override;

private:
    QWidget& window_;
    std::vector<std::unique_ptr<QtPersistableControl>> controls_;
};

class SettingsStore;

// Saves (restore = false) or restores `window`'s controls in `section`.
void PersistQtWindow(SettingsStore& store, QWidget& window, bool restore, const std::string& section);

} // namespace harvina
