#pragma once

#include <QString>

class QWidget;

namespace harvina {

// Every message box of the program goes through this interface, so a test can
// answer it without a modal box blocking the run.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // Information icon, one OK button; returns when dismissed.
    virtual void Inform(QWidget* owner, const QString& title, const QString& text) = 0;
    // Information icon, Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* owner, const QString& title, const QString& text) = 0;
};

// The boxes in use: Qt's own unless a test installed others.
[[nodiscard]] MessageBoxes& ActiveMessageBoxes();
// Not owned; null restores Qt's boxes.
void SetMessageBoxes(MessageBoxes* boxes);

// Titles the program's boxes carry.
[[nodiscard]] QString InformationTitle(); // "信息："
[[nodiscard]] QString VortanTitle();      // "Vortan："

} // namespace harvina
