#include "app/QtSettingsHost.h"

#include "input/MessageBoxes.h"
#include "input/WidgetText.h"

#include <QCoreApplication>

namespace harvina {

void QtSettingsHost::ProcessPendingEvents()
{
    QCoreApplication::processEvents();
}

void QtSettingsHost::ShowMessage(const SettingsMessage& message)
{
    ActiveMessageBoxes().Inform(nullptr, ToWidgetText(message.title), ToWidgetText(message.text));
}

} // namespace harvina
