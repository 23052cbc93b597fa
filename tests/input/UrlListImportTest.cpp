#include "input/UrlListImport.h"

#include "platform/Charset.h"
#include "tests/input/GuiTestSupport.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace harvina {
namespace {

TEST(UrlListImport, AppendsChosenPathsLineByLine)
{
    struct Case {
        const char* name;
        QString before;
        QStringList picked;
        QString after;
    };
    const Case cases[] = {
        {"one file", "", {"/lists/a.txt"}, "/lists/a.txt"},
        {"two files", "", {"/lists/a.txt", "/lists/b.txt"}, "/lists/a.txt\n/lists/b.txt"},
        {"root folder", "", {"/a.txt"}, "/a.txt"},
        {"after existing text", "http://x.cn", {"/lists/a.txt"}, "http://x.cn\n/lists/a.txt"},
        {"same file again", "/lists/a.txt", {"/lists/a.txt"}, "/lists/a.txt\n/lists/a.txt"},
        {"chinese path", "", {"/列表/网址.txt"}, "/列表/网址.txt"},
        {"cancelled", "keep", {}, "keep"},
    };
    for (const Case& c : cases) {
        FakeShellDialogs shell;
        shell.filesToPick = c.picked;
        QPlainTextEdit box;
        box.setPlainText(c.before);
        ImportAddressFiles(box);
        EXPECT_EQ(box.toPlainText(), c.after) << c.name;
        EXPECT_EQ(shell.lastTitle, "导入") << c.name;
        EXPECT_EQ(shell.lastFilter, "*.* (*)") << c.name;
        if (!c.picked.isEmpty()) {
            EXPECT_EQ(box.textCursor().position(), box.toPlainText().size()) << c.name << ": caret at the end";
        }
    }
}

TEST(UrlListImport, ComesBackToTheFolderItStartedIn)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString before = QDir::currentPath();
    FakeShellDialogs shell;
    shell.filesToPick = {"/lists/a.txt"};
    shell.wanderTo = elsewhere.path();

    EXPECT_EQ(PickOpenFiles(nullptr, "t", "*.*"), "/lists/a.txt");
    EXPECT_EQ(shell.lastFolder, before) << "starts in the current folder";
    EXPECT_EQ(QDir::currentPath(), before);

    EXPECT_EQ(PickOpenFiles(nullptr, "t", "*.*", LocalPath(elsewhere.path().toStdString()), true), "/lists/a.txt");
    EXPECT_EQ(shell.lastFolder, elsewhere.path());
    EXPECT_EQ(QDir::currentPath(), QDir(elsewhere.path()).canonicalPath()) << "kept where the dialog left it";
    QDir::setCurrent(before);
}

} // namespace
} // namespace harvina
