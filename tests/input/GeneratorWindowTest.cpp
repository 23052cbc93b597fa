#include "input/GeneratorWindow.h"

#include "app/QtPersistableWindow.h"
#include "input/HintBox.h"
#include "input/TextDialog.h"
#include "settings/SettingsStore.h"
#include "platform/Charset.h"
#include "tests/input/GuiTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace harvina {
namespace {

QCheckBox& Box(GeneratorWindow& window, const char* name)
{
    return *window.findChild<QCheckBox*>(QString::fromUtf8(name));
}

QLineEdit& Pages(GeneratorWindow& window)
{
    return *window.findChild<QLineEdit*>(QStringLiteral("编辑框页数"));
}

// Runs "按钮生成" with `keywords` typed into the keyword dialog; returns what
// the result dialog shows ("<none>" when it did not open).
QString Generate(GeneratorWindow& window, const QString& keywords)
{
    QString shown = QStringLiteral("<none>");
    DialogScript script({[&](TextDialog& d) {
                             d.Body().setPlainText(keywords);
                             d.findChild<QPushButton*>(QStringLiteral("按钮确定"))->click();
                         },
                         [&](TextDialog& d) {
                             shown = d.Body().toPlainText();
                             d.reject();
                         }});
    window.GenerateButton().click();
    return shown;
}

TEST(GeneratorWindow, FormAndFirstStart)
{
    GeneratorWindow window(nullptr, {});
    EXPECT_EQ(window.windowTitle(), "生成搜索引擎网址列表");
    EXPECT_EQ(window.size(), QSize(364, 121));
    EXPECT_TRUE(Box(window, "选择框百度").isChecked());
    EXPECT_TRUE(Box(window, "选择框搜狗").isChecked());
    EXPECT_TRUE(Box(window, "选择框360").isChecked());
    EXPECT_EQ(Pages(window).text(), "80");
    EXPECT_EQ(window.GenerateButton().text(), "输入关键词开始生成");
    EXPECT_EQ(window.GenerateButton().objectName(), "按钮生成");
}

TEST(GeneratorWindow, GeneratesFromTheKeywordDialogAndKeepsTheList)
{
    GeneratorWindow window(nullptr, {});
    window.show();
    Box(window, "选择框搜狗").setChecked(false);
    Box(window, "选择框360").setChecked(false);
    Pages(window).setText(QStringLiteral("2"));

    QString hint, caption, resultCaption, shown;
    DialogScript script({[&](TextDialog& d) {
                             hint = QString::fromStdString(Utf8Text(d.Hint().Hint()));
                             caption = d.windowTitle();
                             d.Body().setPlainText(QStringLiteral("手机"));
                             d.findChild<QPushButton*>(QStringLiteral("按钮确定"))->click();
                         },
                         [&](TextDialog& d) {
                             resultCaption = d.windowTitle();
                             EXPECT_TRUE(d.Body().isReadOnly());
                             shown = d.Body().toPlainText();
                             d.reject();
                         }});
    window.GenerateButton().click();
    EXPECT_EQ(hint, "输入关键词列表：");
    EXPECT_EQ(caption, "输入：");
    EXPECT_EQ(resultCaption, "生成结果：");
    EXPECT_EQ(shown, "https://www.baidu.com/baidu?word=%E6%89%8B%E6%9C%BA&tn=myie2&ch=3&pn=0\n"
                     "https://www.baidu.com/baidu?word=%E6%89%8B%E6%9C%BA&tn=myie2&ch=3&pn=10\n");
    EXPECT_EQ(ControlTag(window.GenerateButton()), "手机");

    Box(window, "选择框百度").setChecked(false);
    Box(window, "选择框360").setChecked(true);
    Pages(window).setText(QStringLiteral("1"));
    EXPECT_EQ(Generate(window, QStringLiteral("x\n\ny")),
              "https://www.so.com/s?q=x&pn=1\nhttps://www.so.com/s?q=&pn=1\nhttps://www.so.com/s?q=y&pn=1\n");
    EXPECT_EQ(ControlTag(window.GenerateButton()), "x\n\ny");
}

TEST(GeneratorWindow, CancellingTheKeywordDialogGeneratesNothing)
{
    GeneratorWindow window(nullptr, {});
    window.show();
    SetControlTag(window.GenerateButton(), QStringLiteral("old\nlist"));
    QString offered;
    DialogScript script({[&](TextDialog& d) {
        offered = d.Body().toPlainText();
        d.Body().setPlainText(QStringLiteral("new"));
        d.findChild<QPushButton*>(QStringLiteral("按钮取消"))->click();
    }});
    window.GenerateButton().click();
    EXPECT_EQ(offered, "old\nlist");
    EXPECT_EQ(script.Ran(), 1) << "no result dialog";
    EXPECT_EQ(ControlTag(window.GenerateButton()), "old\nlist");
}

TEST(GeneratorWindow, ClosingTheWindowEndsALongGeneration)
{
    GeneratorWindow window(nullptr, {});
    window.show();
    Pages(window).setText(QStringLiteral("10000"));
    DialogScript script({[&](TextDialog& d) {
        d.Body().setPlainText(QStringLiteral("x\ny"));
        QTimer::singleShot(0, &window, [&] { window.close(); });
        d.findChild<QPushButton*>(QStringLiteral("按钮确定"))->click();
    }});
    window.GenerateButton().click();
    EXPECT_EQ(script.Ran(), 1) << "no result dialog once the window is gone";
    EXPECT_EQ(ControlTag(window.GenerateButton()), "x\ny");
}

TEST(GeneratorWindow, ListEnginesAndPagesSurviveARestart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = LocalPath(dir.filePath("settings.ini").toStdString());
    {
        SettingsStore store;
        ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
        GeneratorWindow window(nullptr, [&](QWidget& w, bool restore, const std::string& section) {
            PersistQtWindow(store, w, restore, section);
        });
        window.show();
        Box(window, "选择框搜狗").setChecked(false);
        Pages(window).setText(QStringLiteral("1"));
        EXPECT_EQ(Generate(window, QStringLiteral("x")),
                  "https://www.baidu.com/baidu?word=x&tn=myie2&ch=3&pn=0\nhttps://www.so.com/s?q=x&pn=1\n");
        window.close();
    }
    QFile file(dir.filePath("settings.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith(QByteArray::fromStdString(L("[生成搜索网址]\r\n"))));
    EXPECT_TRUE(text.contains(QByteArray::fromStdString(L("\r\n按钮生成.标记=x"))));
    EXPECT_TRUE(text.contains(QByteArray::fromStdString(L("\r\n选择框搜狗=假"))));

    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    GeneratorWindow window(nullptr, [&](QWidget& w, bool restore, const std::string& section) {
        PersistQtWindow(store, w, restore, section);
    });
    window.show();
    EXPECT_TRUE(Box(window, "选择框百度").isChecked());
    EXPECT_FALSE(Box(window, "选择框搜狗").isChecked());
    EXPECT_TRUE(Box(window, "选择框360").isChecked());
    EXPECT_EQ(Pages(window).text(), "1");
    QString offered;
    DialogScript script({[&](TextDialog& d) {
        offered = d.Body().toPlainText();
        d.reject();
    }});
    window.GenerateButton().click();
    EXPECT_EQ(offered, "x");
}

} // namespace
} // namespace harvina
