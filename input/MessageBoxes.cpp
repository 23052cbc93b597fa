#include "input/MessageBoxes.h"

#include <QMessageBox>

namespace harvina {
namespace {

class QtMessageBoxes final : public MessageBoxes {
public:
    void Inform(QWidget* owner, const QString& title, const QString& text) override
    {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, owner);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }

    bool AskYesNo(QWidget* owner, const QString& title, const QString& text) override
    {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Yes | QMessageBox::No, owner);
        box.setWindowModality(Qt::ApplicationModal);
        return box.exec() == QMessageBox::Yes;
    }
};

QtMessageBoxes& QtBoxes()
{
    static QtMessageBoxes boxes;
    return boxes;
}

MessageBoxes* g_installed = nullptr;

} // namespace

MessageBoxes& ActiveMessageBoxes()
{
    return g_installed ? *g_installed : QtBoxes();
}

void SetMessageBoxes(MessageBoxes* boxes)
{
    g_installed = boxes;
}

QString InformationTitle()
{
    return QStringLiteral("信息：");
}

QString VortanTitle()
{
    return QStringLiteral("Vortan：");
}

} // namespace harvina
