#include "input/ShellDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace harvina {
namespace {

class QtShellDialogs final : public ShellDialogs {
public:
    QStringList PickOpenFiles(QWidget* owner, const QString& title, const QString& filter,
                              const QString& folder) override
    {
        return QFileDialog::getOpenFileNames(owner, title, folder, filter);
    }

    QString ChooseFolder(const QString& title, const QString& preselected) override
    {
        return QFileDialog::getExistingDirectory(nullptr, title, preselected, QFileDialog::ShowDirsOnly);
    }

    bool OpenFolder(const QString& path) override
    {
        // Hands the folder to the desktop's opener as an argument: no shell, no quoting.
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

QtShellDialogs& QtDialogs()
{
    static QtShellDialogs dialogs;
    return dialogs;
}

ShellDialogs* g_installed = nullptr;

} // namespace

ShellDialogs& ActiveShellDialogs()
{
    return g_installed ? *g_installed : QtDialogs();
}

void SetShellDialogs(ShellDialogs* dialogs)
{
    g_installed = dialogs;
}

} // namespace harvina
