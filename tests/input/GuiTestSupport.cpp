#include "tests/input/GuiTestSupport.h"

#include "input/TextDialog.h"
#include "platform/Charset.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace harvina {
namespace {

// One QApplication for the whole test program, on the main thread.
class QtEnvironment final : public testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "harvina-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const g_qt = testing::AddGlobalTestEnvironment(new QtEnvironment);

constexpr int kPollMs = 2;
constexpr int kStuckPolls = 2500; // about five seconds

} // namespace

void FakeMessageBoxes::Inform(QWidget*, const QString& title, const QString& text)
{
    informed.push_back({title, text});
}

bool FakeMessageBoxes::AskYesNo(QWidget*, const QString& title, const QString& text)
{
    asked.push_back({title, text});
    return answerYes;
}

QStringList FakeShellDialogs::PickOpenFiles(QWidget*, const QString& title, const QString& filter,
                                            const QString& folder)
{
    lastTitle = title;
    lastFilter = filter;
    lastFolder = folder;
    if (!wanderTo.isEmpty())
        QDir::setCurrent(wanderTo);
    return filesToPick;
}

QString FakeShellDialogs::ChooseFolder(const QString& title, const QString& preselected)
{
    lastTitle = title;
    lastFolder = preselected;
    return folderToChoose;
}

bool FakeShellDialogs::OpenFolder(const QString& path)
{
    opened.push_back(path);
    return true;
}

DialogScript::DialogScript(std::deque<Step> steps) : steps_(std::move(steps))
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(kPollMs);
}

DialogScript::~DialogScript() = default;

void DialogScript::Poll()
{
    TextDialog* dialog = TextDialog::Current();
    if (!dialog || !dialog->isVisible()) {
        idlePolls_ = 0;
        return;
    }
    if (dialog == last_.data() || steps_.empty()) {
        if (++idlePolls_ > kStuckPolls) {
            ADD_FAILURE() << "a text dialog stayed open";
            dialog->reject();
        }
        return;
    }
    idlePolls_ = 0;
    last_ = dialog;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    ++ran_;
    step(*dialog);
}

std::string L(const char* utf8)
{
    return LocalText(utf8);
}

} // namespace harvina
