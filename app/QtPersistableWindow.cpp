#include "app/QtPersistableWindow.h"

#include "settings/SettingsStore.h"

#include <QWidget>

namespace harvina {

std::vector<PersistableControl*> QtPersistableWindow::Controls()
{
    controls_.clear();
    std::vector<PersistableControl*> controls;
    for (QWidget* child : window_.findChildren<QWidget*>()) {
        // Windows owned by this one (and their controls) keep their own sections.
        if (child->window() != &window_ || child->objectName().isEmpty())
            continue;
        controls_.push_back(std::make_unique<QtPersistableControl>(*child));
        controls.push_back(controls_.back().get());
    }
    return controls;
}

void PersistQtWindow(SettingsStore& store, QWidget& window, bool restore, const std::string& section)
{
    QtPersistableWindow adapter(window);
    store.PersistWindowControls(adapter, restore, section);
}

} // namespace harvina
