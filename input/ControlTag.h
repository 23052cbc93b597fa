#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace harvina {

// A control's tag: free text the form attaches to a control (buttons keep
// data there, "禁止保存" keeps a control out of the settings).
[[nodiscard]] QString ControlTag(const QWidget& control);
void SetControlTag(QWidget& control, const QString& tag);

// Saves (restore = false) or restores a window's controls under a settings
// section; supplied by the program that owns the settings store.
using PersistControls = std::function<void(QWidget& window, bool restore, const std::string& section)>;

} // namespace harvina
