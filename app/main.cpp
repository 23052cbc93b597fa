#include "app/InitApplication.h"
#include "app/MainWindow.h"
#include "app/QtSettingsHost.h"
#include "app/SettingsLocation.h"
#include "platform/Charset.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>

int main(int argc, char** argv)
{
    using namespace harvina;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Harvina"));
    QApplication::setDesktopFileName(QStringLiteral("harvina"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("harvina")));

    SettingsStore& settings = GlobalSettingsStore();
    (void)OpenApplicationSettings(LocalText("Vortan·Harvina"));
    QtSettingsHost settingsHost;
    settings.SetHost(&settingsHost);

    int result = 0;
    {
        MainWindow window(settings);
        // The settings file and the result file are written through at every
        // change, so a job still running when the window closes ends with the
        // process and loses nothing.
        window.endWhileRunning = [] { std::_Exit(0); };
        window.show();
        result = QApplication::exec();
    }
    settings.SetHost(nullptr);
    return result;
}
