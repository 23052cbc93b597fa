#pragma once

#include "input/TextDialogRequest.h"

#include "input/HintBox.h"

#include <QDialog>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

#include <optional>
#include <string>

namespace harvina {

// The modal dialog that enters or shows a block of text. Built from a filled
// request; on OK the request's accepted/resultText are set.
class TextDialog : public QDialog {
public:
    explicit TextDialog(TextDialogRequest& request, QWidget* owner = nullptr);

    [[nodiscard]] QPlainTextEdit& Body() { return body_; }
    [[nodiscard]] HintBox& Hint() { return hint_; }
    [[nodiscard]] int Margin() const { return margin_; }

    // The dialog currently open through ShowTextDialog, if any.
    [[nodiscard]] static TextDialog* Current();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ApplyLayout();
    void Accept();
    void RestoreInitial();
    void ImportFiles(bool contents);

    TextDialogRequest& request_;
    int margin_;
    // Children as members: a strip's buttons come after the strip, so they go first.
    HintBox hint_;
    QPlainTextEdit body_;
    QFrame strip_;
    QPushButton restore_;
    QPushButton clear_;
    QPushButton paste_;
    QPushButton contents_;
    QPushButton fileNames_;
    QPushButton ok_;
    QPushButton cancel_;
};

// The optional tail of ShowTextDialog's arguments.
struct TextDialogOptions {
    int bodyInputMode = 0;
    bool maximised = false;
    int bodyWidth = 0;
    int bodyHeight = 0;
    bool scrollBars = false;
    int margin = 0;
    int importButtons = 0;
};

// Opens the dialog modally (input mode, or display mode with only Close) and
// returns whether OK was pressed; then `resultText` holds the body's text. A
// call while a dialog is open returns false at once. An absent hint shows
// none; an empty one shows the mode's default. Texts are local text.
bool ShowTextDialog(const std::string& initialText, const std::optional<std::string>& hint,
                    const std::string& caption, QWidget* owner, std::string& resultText, bool inputMode,
                    const TextDialogOptions& options = {});

} // namespace harvina
