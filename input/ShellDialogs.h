#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace harvina {

// The desktop's file dialogs and file manager, behind one interface so that
// tests answer them without a modal dialog.
class ShellDialogs {
public:
    virtual ~ShellDialogs() = default;

    // Several existing files; full paths in the dialog's order, empty when
    // cancelled. `filter` is in Qt's form.
    virtual QStringList PickOpenFiles(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& folder) = 0;
    // A folder, starting at `preselected`; empty when cancelled.
    virtual QString ChooseFolder(const QString& title, const QString& preselected) = 0;
    // Shows the folder in the desktop's file manager without waiting for it.
    virtual bool OpenFolder(const QString& path) = 0;
};

// Qt's dialogs and the desktop's file manager, unless a test installed others.
[[nodiscard]] ShellDialogs& ActiveShellDialogs();
// Not owned; null restores the real ones.
void SetShellDialogs(ShellDialogs* dialogs);

} // namespace harvina
