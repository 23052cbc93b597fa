#include "input/UrlListImport.h"

#include "input/OpenFileFilter.h"
#include "input/ShellDialogs.h"
#include "input/WidgetText.h"
#include "platform/Charset.h"

#include <QDir>
#include <QPlainTextEdit>

namespace harvina {

std::string PickOpenFiles(QWidget* owner, const std::string& title, const std::string& filter,
                          const std::string& initialFolder, bool keepCurrentFolder)
{
    const QString remembered = QDir::currentPath();
    const QString folder = initialFolder.empty() ? remembered : QString::fromStdString(NativePath(initialFolder));
    const QStringList paths =
        ActiveShellDialogs().PickOpenFiles(owner, QString::fromStdString(Utf8Text(title)),
                                           QString::fromStdString(OpenFileFilter(Utf8Text(filter))), folder);
    if (paths.isEmpty())
        return {};

    std::string joined;
    for (const QString& path : paths) {
        if (!joined.empty())
            joined += "\r\n";
        joined += LocalPath(QDir::toNativeSeparators(path).toStdString());
    }
    if (!keepCurrentFolder)
        QDir::setCurrent(remembered);
    return joined;
}

void ImportAddressFiles(QPlainTextEdit& inputBox)
{
    static const std::string kTitle = LocalText("导入");
    const std::string chosen = PickOpenFiles(nullptr, kTitle, "*.*");
    if (chosen.empty())
        return;
    const QString lines = ToWidgetText(chosen);
    AppendToEnd(inputBox, inputBox.document()->isEmpty() ? lines : QStringLiteral("\n") + lines);
}

} // namespace harvina
