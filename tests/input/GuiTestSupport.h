#pragma once

#include "input/MessageBoxes.h"
#include "input/ShellDialogs.h"

#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace harvina {

class TextDialog;

// Message boxes that record what they were asked and answer from a script.
class FakeMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString title;
        QString text;
    };

    FakeMessageBoxes() { SetMessageBoxes(this); }
    ~FakeMessageBoxes() override { SetMessageBoxes(nullptr); }

    void Inform(QWidget* owner, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* owner, const QString& title, const QString& text) override;

    std::vector<Shown> informed;
    std::vector<Shown> asked;
    bool answerYes = true;
};

// File dialogs and file manager answered by the test.
class FakeShellDialogs final : public ShellDialogs {
public:
    FakeShellDialogs() { SetShellDialogs(this); }
    ~FakeShellDialogs() override { SetShellDialogs(nullptr); }

    QStringList PickOpenFiles(QWidget* owner, const QString& title, const QString& filter,
                              const QString& folder) override;
    QString ChooseFolder(const QString& title, const QString& preselected) override;
    bool OpenFolder(const QString& path) override;

    QStringList filesToPick;
    QString folderToChoose;
    // The dialog moves the process to another folder, as real ones may.
    QString wanderTo;

    QString lastTitle;
    QString lastFilter;
    QString lastFolder;
    QStringList opened;
};

// Acts on each text editor dialog as it opens (ShowTextDialog runs modally):
// step k runs on the k-th dialog and must close it. A dialog left open longer
// than a few seconds is rejected so a failing test cannot hang.
class DialogScript {
public:
    using Step = std::function<void(TextDialog&)>;
    explicit DialogScript(std::deque<Step> steps);
    ~DialogScript();

    [[nodiscard]] bool Done() const { return steps_.empty(); }
    [[nodiscard]] int Ran() const { return ran_; }

private:
    void Poll();

    std::deque<Step> steps_;
    QTimer timer_;
    QPointer<TextDialog> last_;
    int ran_ = 0;
    int idlePolls_ = 0;
};

// Local text from UTF-8, for readable expectations.
[[nodiscard]] std::string L(const char* utf8);

} // namespace harvina
