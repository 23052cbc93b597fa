#include "input/TextDialog.h"

#include "input/HintBox.h"
#include "platform/Charset.h"
#include "tests/input/GuiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace harvina {
namespace {

QPushButton& Button(TextDialog& dialog, const char* name)
{
    auto* button = dialog.findChild<QPushButton*>(QString::fromUtf8(name));
    EXPECT_NE(button, nullptr) << name;
    return *button;
}

QString Hint(TextDialog& dialog)
{
    return QString::fromStdString(Utf8Text(dialog.Hint().Hint()));
}

TEST(TextDialog, DefaultsOfHintAndCaptionPerMode)
{
    struct Case {
        const char* name;
        std::optional<std::string> hint;
        std::string caption;
        bool inputMode;
        QString expectedHint;
        QString expectedTitle;
    };
    const Case cases[] = {
        {"input, empty hint", std::string(), "", true, "请输入数据：", "输入："},
        {"display, empty hint", std::string(), "", false, "以下为信息详情：", "信息："},
        {"hint left out", std::nullopt, "", true, "", "输入："},
        {"given hint and caption", L("输入关键词列表："), L("生成结果："), false, "输入关键词列表：", "生成结果："},
    };
    for (const Case& c : cases) {
        QString hint, title;
        DialogScript script({[&](TextDialog& d) {
            hint = Hint(d);
            title = d.windowTitle();
            d.reject();
        }});
        std::string result = "unchanged";
        EXPECT_FALSE(ShowTextDialog("x", c.hint, c.caption, nullptr, result, c.inputMode)) << c.name;
        EXPECT_EQ(result, "unchanged") << c.name;
        EXPECT_EQ(hint, c.expectedHint) << c.name;
        EXPECT_EQ(title, c.expectedTitle) << c.name;
    }
}

TEST(TextDialog, OkHandsBackTheEditedBodyWithCrLfLines)
{
    FakeMessageBoxes boxes;
    DialogScript script({[](TextDialog& d) {
        EXPECT_EQ(d.Body().toPlainText(), "a\nb");
        d.Body().setPlainText(QStringLiteral("手机\nb\n"));
        Button(d, "按钮确定").click();
    }});
    std::string result;
    EXPECT_TRUE(ShowTextDialog("a\r\nb", std::string(), {}, nullptr, result, true));
    EXPECT_EQ(result, L("手机\r\nb\r\n"));
    EXPECT_TRUE(boxes.asked.empty()) << "OK never asks";
}

TEST(TextDialog, DisplayModeShowsOnlyClose)
{
    FakeMessageBoxes boxes;
    bool checked = false;
    DialogScript script({[&](TextDialog& d) {
        EXPECT_TRUE(d.Body().isReadOnly());
        EXPECT_EQ(d.Body().viewport()->palette().color(QPalette::Base), d.palette().color(QPalette::Window))
            << "the body takes the window's own colour";
        EXPECT_FALSE(Button(d, "按钮确定").isVisible());
        EXPECT_FALSE(d.findChild<QFrame*>(QStringLiteral("外形框"))->isVisible());
        QPushButton& close = Button(d, "按钮取消");
        EXPECT_EQ(close.text(), "关闭(&G)");
        EXPECT_TRUE(close.isDefault());
        d.Body().setPlainText(QStringLiteral("changed anyway"));
        checked = true;
        d.close(); // through the title bar: no question in display mode
    }});
    std::string result = "kept";
    EXPECT_FALSE(ShowTextDialog("lines", std::nullopt, {}, nullptr, result, false));
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, "kept");
    EXPECT_TRUE(boxes.asked.empty());
}

TEST(TextDialog, RestoreWithEmptyStartValueSaysSo)
{
    FakeMessageBoxes boxes;
    DialogScript script({[](TextDialog& d) {
        d.Body().setPlainText(QStringLiteral("typed"));
        Button(d, "按钮恢复").click();
        EXPECT_EQ(d.Body().toPlainText(), "typed");
        d.reject();
    }});
    std::string result;
    EXPECT_FALSE(ShowTextDialog("", std::string(), {}, nullptr, result, true));
    ASSERT_EQ(boxes.informed.size(), 1u);
    EXPECT_EQ(boxes.informed[0].title, "Vortan：");
    EXPECT_EQ(boxes.informed[0].text, "启动值为空！");
}

TEST(TextDialog, ToolStripRestoresClearsAndPastes)
{
    DialogScript script({[](TextDialog& d) {
        d.Body().setPlainText(QStringLiteral("edited"));
        Button(d, "按钮恢复").click();
        EXPECT_EQ(d.Body().toPlainText(), "start\nvalue");
        Button(d, "按钮清空").click();
        EXPECT_EQ(d.Body().toPlainText(), "");
        QGuiApplication::clipboard()->setText(QStringLiteral("from\nclipboard"));
        d.Body().setPlainText(QStringLiteral("replaced whole"));
        Button(d, "按钮粘贴").click();
        EXPECT_EQ(d.Body().toPlainText(), "from\nclipboard");
        d.reject();
    }});
    std::string result;
    EXPECT_FALSE(ShowTextDialog("start\r\nvalue", std::string(), {}, nullptr, result, true));
    EXPECT_TRUE(script.Done());
}

TEST(TextDialog, ClosingAChangedBodyAsksWhetherToDiscard)
{
    FakeMessageBoxes boxes;
    bool stillOpenAfterNo = false;
    boxes.answerYes = false;
    DialogScript script({[&](TextDialog& d) {
        d.Body().setPlainText(QStringLiteral("changed"));
        d.close();
        stillOpenAfterNo = d.isVisible() && d.Body().toPlainText() == "changed";
        boxes.answerYes = true;
        d.close();
    }});
    std::string result = "kept";
    EXPECT_FALSE(ShowTextDialog("start", std::string(), {}, nullptr, result, true));
    EXPECT_TRUE(stillOpenAfterNo);
    EXPECT_EQ(result, "kept") << "Yes discards the changes";
    ASSERT_EQ(boxes.asked.size(), 2u);
    EXPECT_EQ(boxes.asked[0].title, "Vortan：");
    EXPECT_EQ(boxes.asked[0].text, "内容已被改动，是否要放弃？");
}

TEST(TextDialog, UnchangedCloseAndCancelAskNothing)
{
    FakeMessageBoxes boxes;
    DialogScript script({[](TextDialog& d) { d.close(); },
                         [](TextDialog& d) {
                             d.Body().setPlainText(QStringLiteral("changed"));
                             Button(d, "按钮取消").click();
                         }});
    std::string result;
    EXPECT_FALSE(ShowTextDialog("line1\r\nline2", std::string(), {}, nullptr, result, true));
    EXPECT_FALSE(ShowTextDialog("line1\r\nline2", std::string(), {}, nullptr, result, true));
    EXPECT_TRUE(boxes.asked.empty());
    EXPECT_TRUE(script.Done());
}

TEST(TextDialog, OnlyOneDialogAtATime)
{
    bool secondResult = true;
    DialogScript script({[&](TextDialog& d) {
        std::string inner = "inner kept";
        secondResult = ShowTextDialog("other", std::string(), {}, nullptr, inner, true);
        EXPECT_EQ(inner, "inner kept");
        d.reject();
    }});
    std::string result;
    EXPECT_FALSE(ShowTextDialog("first", std::string(), {}, nullptr, result, true));
    EXPECT_FALSE(secondResult);
    EXPECT_EQ(TextDialog::Current(), nullptr);
}

TEST(TextDialog, LayoutFollowsTheHintAndEveryResize)
{
    struct Case {
        const char* name;
        std::string hint;
        int margin;
        int hintHeight;
        int m;
    };
    const Case cases[] = {
        {"empty hint collapses", "", 0, 0, 5},
        {"three short lines", "a\r\nb\r\nc", 0, 36, 5},
        {"margin 0 means 5", "a", 0, 12, 5},
        {"own margin", "a", 9, 12, 9},
    };
    for (const Case& c : cases) {
        TextDialogRequest request;
        request.hint = c.hint;
        request.margin = c.margin;
        TextDialog dialog(request);
        dialog.show();
        const QRect hint = dialog.Hint().geometry();
        const QRect body = dialog.Body().geometry();
        EXPECT_EQ(hint, QRect(c.m, c.m, dialog.width() - 2 * c.m, c.hintHeight)) << c.name;
        EXPECT_EQ(body.top(), 2 * c.m + c.hintHeight) << c.name;
        EXPECT_EQ(body.left(), c.m) << c.name;
    }

    TextDialogRequest request;
    request.hint = "hint";
    TextDialog dialog(request);
    dialog.show();
    dialog.resize(600, 400);
    QCoreApplication::processEvents();
    QPushButton& cancel = Button(dialog, "按钮取消");
    QPushButton& ok = Button(dialog, "按钮确定");
    auto* strip = dialog.findChild<QFrame*>(QStringLiteral("外形框"));
    EXPECT_EQ(cancel.geometry().left(), 600 - 5 - 64);
    EXPECT_EQ(ok.geometry().right() + 1, cancel.geometry().left());
    EXPECT_EQ(strip->geometry().bottom() + 1, 400);
    EXPECT_EQ(dialog.Body().geometry().bottom() + 1, strip->geometry().top());
}

TEST(TextDialog, BodySizeRequestsSizeTheWindow)
{
    TextDialogRequest request;
    request.bodyWidth = 300;
    request.bodyHeight = 200;
    request.margin = 4;
    request.importButtons = 3;
    request.scrollBars = true;
    TextDialog dialog(request);
    EXPECT_EQ(dialog.size(), QSize(308, 33 + 8 + 200 + 12 + 24));
    dialog.show();
    EXPECT_TRUE(Button(dialog, "按钮文件").isVisible());
    EXPECT_TRUE(Button(dialog, "按钮文件名").isVisible());
    EXPECT_EQ(dialog.Body().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    TextDialogRequest plain;
    plain.importButtons = 4;
    TextDialog other(plain);
    other.show();
    EXPECT_FALSE(Button(other, "按钮文件").isVisible());
    EXPECT_FALSE(Button(other, "按钮文件名").isVisible());
}

TEST(TextDialog, ImportsFileNamesAndContents)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.filePath("a.txt");
    const QString b = dir.filePath("b.txt");
    QFile fa(a), fb(b);
    ASSERT_TRUE(fa.open(QIODevice::WriteOnly));
    fa.write(QByteArray("one\r\ntwo\0hidden", 15));
    fa.close();
    ASSERT_TRUE(fb.open(QIODevice::WriteOnly));
    fb.write(LocalText("手机").c_str());
    fb.close();

    FakeShellDialogs shell;
    shell.filesToPick = {a, b, dir.filePath("missing.txt")};
    DialogScript script({[&](TextDialog& d) {
                             Button(d, "按钮文件名").click();
                             Button(d, "按钮确定").click();
                         },
                         [&](TextDialog& d) {
                             Button(d, "按钮文件").click();
                             Button(d, "按钮确定").click();
                         }});
    TextDialogOptions options;
    options.importButtons = 3;
    std::string names;
    ASSERT_TRUE(ShowTextDialog("x\r\n", std::string(), {}, nullptr, names, true, options));
    const std::string pa = LocalPath(a.toStdString());
    const std::string pb = LocalPath(b.toStdString());
    const std::string pm = LocalPath(dir.filePath("missing.txt").toStdString());
    EXPECT_EQ(names, "x\r\n" + pa + "\r\n" + pb + "\r\n" + pm + "\r\n");
    EXPECT_EQ(shell.lastTitle, "选择多个文件，将导入其文件路径");
    EXPECT_EQ(shell.lastFilter, "文本文本 (*.txt *.text *.ini *.htn *.html);;全部文件 (*)");

    std::string contents;
    ASSERT_TRUE(ShowTextDialog("", std::string(), {}, nullptr, contents, true, options));
    EXPECT_EQ(contents, "one\r\ntwo\r\n" + L("手机") + "\r\n" + "\r\n")
        << "cut at the zero byte; an unreadable file gives just the line break";
    EXPECT_EQ(shell.lastTitle, "选择多个文件，将导入其文件内容");
}

} // namespace
} // namespace harvina
