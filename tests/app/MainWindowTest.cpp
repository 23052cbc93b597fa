#include "app/MainWindow.h"

#include "app/ExtractionState.h"
#include "app/QtSettingsHost.h"
#include "platform/Charset.h"
#include "settings/SettingsStore.h"
#include "tests/input/GuiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sched.h>

#include <memory>

namespace harvina {
namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        settingsFile_ = dir_.filePath(QStringLiteral("Vortan·Harvina.ini"));
        Reopen();
    }

    // A fresh store over the same file, as at the next start of the program.
    void Reopen()
    {
        store_ = std::make_unique<SettingsStore>();
        // As in the program: the store pumps the window's events while it walks.
        store_->SetHost(&settingsHost_);
        ASSERT_TRUE(store_->OpenFile(LocalPath(settingsFile_.toStdString()), StorageMode::Disk));
    }

    [[nodiscard]] QByteArray SettingsBytes() const
    {
        QFile file(settingsFile_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString settingsFile_;
    QtSettingsHost settingsHost_;
    std::unique_ptr<SettingsStore> store_;
    FakeMessageBoxes boxes_;
    FakeShellDialogs shell_;
};

// The lines of one section: from its header to the next header.
QByteArray SectionOf(const QByteArray& bytes, const char* name)
{
    const QByteArray header = QByteArray::fromStdString(L("[") + L(name) + "]");
    const qsizetype start = bytes.indexOf(header);
    if (start < 0)
        return {};
    const qsizetype next = bytes.indexOf("\r\n[", start);
    return bytes.mid(start, next < 0 ? -1 : next - start) + "\r\n";
}

void RightPress(QWidget& widget)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), QPointF(4, 4), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
}

TEST_F(MainWindowTest, FirstRunShowsTheFormDefaults)
{
    MainWindow window(*store_);
    EXPECT_EQ(window.windowTitle(), "Vortan·Harvina v1.2.1.0");
    EXPECT_TRUE(window.input.toPlainText().isEmpty());
    EXPECT_TRUE(window.extractText.isChecked());
    EXPECT_TRUE(window.extractLinks.isChecked());
    EXPECT_FALSE(window.imagesOnly.isChecked());
    EXPECT_TRUE(window.imagesOnly.isEnabled());
    EXPECT_FALSE(window.restrictSuffix.isChecked());
    EXPECT_EQ(window.suffixes.text(), ".com|.cn|.net");
    EXPECT_FALSE(window.suffixes.isEnabled());
    EXPECT_EQ(window.saveFolder.text(), QDir::homePath() + "/域名提取结果");
    EXPECT_EQ(window.start.text(), "开始提取");
    ASSERT_EQ(window.threads.count(), 20);
    EXPECT_EQ(window.threads.itemText(0), "使用 1 个线程提取");
    EXPECT_EQ(window.threads.itemText(19), "使用 20 个线程提取");
    EXPECT_EQ(window.threads.currentIndex(), 5);
    EXPECT_EQ(window.threads.currentText(), "使用 6 个线程提取");

    struct Place {
        const char* name;
        QRect rect;
        const char* caption;
    };
    const Place places[] = {
        {"标签1", {16, 96, 176, 24}, "网络地址或本地文件地址："},
        {"按钮粘贴", {200, 96, 48, 24}, "粘贴"},
        {"按钮导入", {256, 96, 200, 24}, "导入存放网址的文件.."},
        {"按钮生成", {640, 96, 112, 24}, "生成搜索网址"},
        {"编辑框输入", {16, 121, 736, 199}, nullptr},
        {"选择框文本", {16, 336, 120, 24}, "提取文本网址"},
        {"选择框超链接", {192, 336, 152, 24}, "提取超链接网址"},
        {"选择框图片", {336, 336, 184, 24}, "仅限提取带图片域名"},
        {"组合框线程", {544, 336, 208, 23}, nullptr},
        {"选择框限定", {16, 368, 96, 24}, "限定后缀"},
        {"编辑框后缀", {104, 368, 648, 24}, nullptr},
        {"标签2", {16, 400, 88, 24}, "保存目录："},
        {"编辑框保存", {104, 400, 648, 24}, nullptr},
        {"按钮打开", {718, 401, 32, 22}, ".."},
        {"按钮开始", {16, 440, 736, 80}, "开始提取"},
    };
    for (const Place& p : places) {
        auto* control = window.findChild<QWidget*>(QString::fromUtf8(p.name));
        ASSERT_NE(control, nullptr) << p.name;
        EXPECT_EQ(control->geometry(), p.rect) << p.name;
        if (p.caption) {
            EXPECT_EQ(control->property("text").toString(), QString::fromUtf8(p.caption)) << p.name;
        }
    }

    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.statusParts[0].width(), 100);
    EXPECT_EQ(window.statusParts[1].width(), 120);
    EXPECT_EQ(window.statusParts[2].width(), 200);
    EXPECT_GT(window.statusParts[3].width(), 200) << "the fourth part takes the rest";
    EXPECT_NE(window.findChild<QStatusBar*>(QStringLiteral("状态条")), nullptr);

    cpu_set_t set;
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    EXPECT_EQ(CPU_COUNT(&set), 1) << "restricted to one processor at creation";
}

TEST_F(MainWindowTest, EnableRulesFollowTheirCheckBoxes)
{
    MainWindow window(*store_);
    window.show();
    window.imagesOnly.setChecked(true);
    window.extractLinks.click();
    EXPECT_FALSE(window.imagesOnly.isEnabled());
    EXPECT_TRUE(window.imagesOnly.isChecked()) << "disabling keeps the check";
    window.extractLinks.click();
    EXPECT_TRUE(window.imagesOnly.isEnabled());

    window.restrictSuffix.click();
    EXPECT_TRUE(window.suffixes.isEnabled());
    window.restrictSuffix.click();
    EXPECT_FALSE(window.suffixes.isEnabled());

    window.extractText.click();
    window.imagesOnly.setChecked(false);
    ExtractionHost& host = window.Host();
    EXPECT_FALSE(host.ExtractTextChecked()) << "states mirrored for worker threads";
    EXPECT_TRUE(host.ExtractLinksChecked());
    EXPECT_FALSE(host.ImagesOnlyChecked());
    EXPECT_FALSE(host.RestrictSuffixChecked());
}

TEST_F(MainWindowTest, PasteReplacesTheInputWithTheClipboard)
{
    MainWindow window(*store_);
    window.input.setPlainText(QStringLiteral("old"));
    QGuiApplication::clipboard()->setText(QStringLiteral("http://a.cn\nhttp://b.cn"));
    window.paste.click();
    EXPECT_EQ(window.input.toPlainText(), "http://a.cn\nhttp://b.cn");
    QGuiApplication::clipboard()->clear();
    window.paste.click();
    EXPECT_EQ(window.input.toPlainText(), "") << "an empty clipboard empties the box";
}

TEST_F(MainWindowTest, EverythingSurvivesARestart)
{
    {
        MainWindow window(*store_);
        window.show();
        window.input.setPlainText(QStringLiteral("u1\nu2\nu3"));
        window.extractText.click();
        window.imagesOnly.click();
        window.restrictSuffix.click();
        window.suffixes.setText(QStringLiteral(".org|.中国"));
        window.saveFolder.setText(QStringLiteral("/tmp/提取"));
        window.threads.setCurrentIndex(2);
        window.close();
    }
    const QByteArray bytes = SettingsBytes();
    EXPECT_TRUE(bytes.startsWith(QByteArray::fromStdString(L("[主界面]\r\n"))));
    EXPECT_TRUE(bytes.contains(QByteArray::fromStdString(L("\r\n编辑框输入=u1┊*┊u2┊*┊u3\r\n"))));
    for (const char* line : {"组合框线程=2", "选择框文本=假", "选择框图片=真", "按钮开始.标记=", "编辑框保存=/tmp/提取"})
        EXPECT_TRUE(bytes.contains(QByteArray::fromStdString(L(line)))) << line;
    EXPECT_FALSE(bytes.contains(QByteArray::fromStdString(L("开始提取")))) << "captions are not stored";

    Reopen();
    MainWindow again(*store_);
    EXPECT_EQ(again.input.toPlainText(), "u1\nu2\nu3");
    EXPECT_FALSE(again.extractText.isChecked());
    EXPECT_TRUE(again.extractLinks.isChecked());
    EXPECT_TRUE(again.imagesOnly.isChecked());
    EXPECT_TRUE(again.restrictSuffix.isChecked());
    EXPECT_TRUE(again.suffixes.isEnabled()) << "enable rules applied after restoring";
    EXPECT_EQ(again.suffixes.text(), ".org|.中国");
    EXPECT_EQ(again.saveFolder.text(), "/tmp/提取");
    EXPECT_EQ(again.threads.currentIndex(), 2);
}

TEST_F(MainWindowTest, FolderButtonChoosesAndOpensTheSaveFolder)
{
    MainWindow window(*store_);
    window.saveFolder.setText(QStringLiteral("/data/结果"));

    shell_.folderToChoose.clear();
    window.openFolder.click();
    EXPECT_EQ(shell_.lastTitle, "请选择一个文件夹");
    EXPECT_EQ(shell_.lastFolder, "/data/结果") << "preselects the current folder";
    EXPECT_EQ(window.saveFolder.text(), "/data/结果") << "cancel leaves it";

    shell_.folderToChoose = QStringLiteral("\u3000 /data/新 ");
    window.openFolder.click();
    EXPECT_EQ(window.saveFolder.text(), "/data/新");

    RightPress(window.openFolder);
    EXPECT_EQ(shell_.opened, QStringList{"/data/新"});
}

TEST_F(MainWindowTest, ImportButtonAppendsFilePaths)
{
    MainWindow window(*store_);
    window.input.setPlainText(QStringLiteral("http://a.cn"));
    shell_.filesToPick = {"/lists/a.txt", "/lists/b.txt"};
    window.import.click();
    EXPECT_EQ(window.input.toPlainText(), "http://a.cn\n/lists/a.txt\n/lists/b.txt");
}

TEST_F(MainWindowTest, GeneratorIsOwnedNotModalAndSavedWithTheWindow)
{
    {
        MainWindow window(*store_);
        window.show();
        window.generate.click();
        GeneratorWindow* generator = window.Generator();
        ASSERT_NE(generator, nullptr);
        EXPECT_TRUE(generator->isVisible());
        EXPECT_EQ(generator->parentWidget(), &window);
        EXPECT_TRUE(generator->isWindow());
        EXPECT_FALSE(generator->isModal());
        generator->findChild<QLineEdit*>(QStringLiteral("编辑框页数"))->setText(QStringLiteral("3"));
        SetControlTag(generator->GenerateButton(), QStringLiteral("k1\nk2"));
        window.generate.click();
        EXPECT_EQ(window.Generator(), generator) << "one generator window";
        window.close();
        EXPECT_FALSE(generator->isVisible());
    }
    const QByteArray bytes = SettingsBytes();
    EXPECT_TRUE(SectionOf(bytes, "生成搜索网址").contains(QByteArray::fromStdString(L("\r\n按钮生成.标记=k1┊*┊k2\r\n"))));
    EXPECT_TRUE(SectionOf(bytes, "主界面").contains(QByteArray::fromStdString(L("\r\n按钮生成.标记=\r\n"))))
        << "the same name in the main window's own section";

    Reopen();
    MainWindow again(*store_);
    again.generate.click();
    EXPECT_EQ(again.Generator()->findChild<QLineEdit*>(QStringLiteral("编辑框页数"))->text(), "3");
    EXPECT_EQ(ControlTag(again.Generator()->GenerateButton()), "k1\nk2");
    EXPECT_EQ(ControlTag(again.generate), "");
}

} // namespace
} // namespace harvina
