#include "app/MainWindow.h"

#include "app/ProcessorAffinity.h"
#include "app/QtPersistableWindow.h"
#include "input/ControlTag.h"
#include "input/ShellDialogs.h"
#include "input/UrlListImport.h"
#include "input/WidgetText.h"
#include "platform/Charset.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>

namespace harvina {
namespace {

constexpr int kThreadItems = 20;
constexpr int kDefaultThreadIndex = 5; // 6 threads

const std::string& Section()
{
    static const std::string kSection = LocalText("主界面");
    return kSection;
}

void Place(QWidget& widget, const char* name, int left, int top, int width, int height)
{
    widget.setObjectName(QString::fromUtf8(name));
    widget.setGeometry(left, top, width, height);
}

// Trimming as the core does it: ASCII and ideographic spaces only.
QString TrimSpaces(QString text)
{
    const auto isSpace = [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); };
    while (!text.isEmpty() && isSpace(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && isSpace(text.back()))
        text.chop(1);
    return text;
}

} // namespace

QString DefaultSaveFolder()
{
    return QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/域名提取结果"));
}

MainWindow::MainWindow(SettingsStore& settings)
    : central_(this), banner_(&central_), inputLabel_(QStringLiteral("网络地址或本地文件地址："), &central_),
      saveLabel_(QStringLiteral("保存目录："), &central_), status_(this),
      paste(QStringLiteral("粘贴"), &central_), import(QStringLiteral("导入存放网址的文件.."), &central_),
      generate(QStringLiteral("生成搜索网址"), &central_), input(&central_),
      extractText(QStringLiteral("提取文本网址"), &central_),
      extractLinks(QStringLiteral("提取超链接网址"), &central_),
      imagesOnly(QStringLiteral("仅限提取带图片域名"), &central_), threads(&central_),
      restrictSuffix(QStringLiteral("限定后缀"), &central_), suffixes(QStringLiteral(".com|.cn|.net"), &central_),
      saveFolder(DefaultSaveFolder(), &central_), openFolder(QStringLiteral(".."), &central_),
      start(QStringLiteral("开始提取"), &central_), settings_(settings), host_(*this)
{
    BuildForm();

    // Creation, in order: the thread items, the stored states, the default
    // thread count, the enable rules, one processor for the whole process.
    threads.clear();
    for (int n = 1; n <= kThreadItems; ++n)
        threads.addItem(QStringLiteral("使用 %1 个线程提取").arg(n));
    threads.setCurrentIndex(-1);
    Persist(*this, true, Section());
    if (threads.currentIndex() == -1)
        threads.setCurrentIndex(kDefaultThreadIndex);
    ApplyEnableRules();
    host_.MirrorChecks();
    RestrictToFirstProcessor();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildForm()
{
    setWindowTitle(QStringLiteral("Vortan·Harvina v1.2.1.0"));
    setCentralWidget(&central_);
    setStatusBar(&status_);
    resize(768, 564);
    move(50, 50);

    banner_.setObjectName(QStringLiteral("横幅"));
    banner_.setGeometry(0, 0, 768, 88);
    banner_.setText(QStringLiteral("<span style='font-size:20pt; font-weight:bold'>Vortan·Harvina</span>"
                                   "<br><span style='font-size:10pt'>从网页中提取域名</span>"));
    banner_.setContentsMargins(16, 0, 0, 0);
    banner_.setStyleSheet(QStringLiteral("QLabel { color: white; background: qlineargradient(x1:0, y1:0, x2:1, "
                                         "y2:0, stop:0 #1d4f91, stop:1 #3b8ed0); }"));

    Place(inputLabel_, "标签1", 16, 96, 176, 24);
    Place(paste, "按钮粘贴", 200, 96, 48, 24);
    Place(import, "按钮导入", 256, 96, 200, 24);
    Place(generate, "按钮生成", 640, 96, 112, 24);
    Place(input, "编辑框输入", 16, 121, 736, 199);
    input.setLineWrapMode(QPlainTextEdit::NoWrap);
    input.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Place(extractText, "选择框文本", 16, 336, 120, 24);
    Place(extractLinks, "选择框超链接", 192, 336, 152, 24);
    Place(imagesOnly, "选择框图片", 336, 336, 184, 24);
    Place(threads, "组合框线程", 544, 336, 208, 23);
    Place(restrictSuffix, "选择框限定", 16, 368, 96, 24);
    Place(suffixes, "编辑框后缀", 104, 368, 648, 24);
    Place(saveLabel_, "标签2", 16, 400, 88, 24);
    Place(saveFolder, "编辑框保存", 104, 400, 648, 24);
    Place(openFolder, "按钮打开", 718, 401, 32, 22);
    Place(start, "按钮开始", 16, 440, 736, 80);
    extractText.setChecked(true);
    extractLinks.setChecked(true);
    for (QPushButton* button : {&paste, &import, &generate, &openFolder, &start})
        SetControlTag(*button, QString());

    status_.setObjectName(QStringLiteral("状态条"));
    status_.setFixedHeight(22);
    status_.setSizeGripEnabled(false);
    constexpr int kPartWidths[] = {100, 120, 200};
    for (size_t i = 0; i < statusParts.size(); ++i) {
        QLabel& part = statusParts[i];
        part.setFrameShape(QFrame::Panel);
        part.setFrameShadow(QFrame::Sunken);
        if (i < std::size(kPartWidths)) {
            part.setFixedWidth(kPartWidths[i]);
            status_.addWidget(&part);
        } else {
            status_.addWidget(&part, 1);
        }
    }

    connect(&restrictSuffix, &QCheckBox::clicked, this, [this] { suffixes.setEnabled(restrictSuffix.isChecked()); });
    connect(&extractLinks, &QCheckBox::clicked, this, [this] { imagesOnly.setEnabled(extractLinks.isChecked()); });
    for (QCheckBox* box : {&extractText, &extractLinks, &imagesOnly, &restrictSuffix})
        connect(box, &QCheckBox::toggled, this, [this] { host_.MirrorChecks(); });
    connect(&start, &QPushButton::clicked, this, [this] { StartPressed(false); });
    connect(&openFolder, &QPushButton::clicked, this, &MainWindow::ChooseSaveFolder);
    connect(&generate, &QPushButton::clicked, this, &MainWindow::OpenGenerator);
    connect(&import, &QPushButton::clicked, this, [this] { ImportAddressFiles(input); });
    connect(&paste, &QPushButton::clicked, this, &MainWindow::PasteInput);
    start.installEventFilter(this);
    openFolder.installEventFilter(this);
}

void MainWindow::ApplyEnableRules()
{
    suffixes.setEnabled(restrictSuffix.isChecked());
    imagesOnly.setEnabled(extractLinks.isChecked());
}

void MainWindow::StartPressed(bool rightButton)
{
    host_.Toggle(rightButton);
}

void MainWindow::ChooseSaveFolder()
{
    const QString chosen =
        TrimSpaces(ActiveShellDialogs().ChooseFolder(QStringLiteral("请选择一个文件夹"), saveFolder.text()));
    if (!chosen.isEmpty())
        saveFolder.setText(QDir::toNativeSeparators(chosen));
}

void MainWindow::OpenSaveFolder()
{
    ActiveShellDialogs().OpenFolder(saveFolder.text());
}

void MainWindow::PasteInput()
{
    input.setPlainText(QGuiApplication::clipboard()->text());
}

void MainWindow::OpenGenerator()
{
    if (!generator_) {
        generator_ = std::make_unique<GeneratorWindow>(
            this, [this](QWidget& window, bool restore, const std::string& section) {
                Persist(window, restore, section);
            });
    }
    generator_->show();
    generator_->raise();
    generator_->activateWindow();
}

void MainWindow::Persist(QWidget& window, bool restore, const std::string& section)
{
    PersistQtWindow(settings_, window, restore, section);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The generator closes with its owner; its own close saves its controls.
    if (generator_ && generator_->isVisible())
        generator_->close();
    Persist(*this, false, Section());
    event->accept();
    if (host_.JobRunning() && endWhileRunning)
        endWhileRunning();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        if (watched == &start) {
            StartPressed(true);
            return true;
        }
        if (watched == &openFolder) {
            OpenSaveFolder();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace harvina
