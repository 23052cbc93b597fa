#include "input/TextDialog.h"

#include "input/MessageBoxes.h"
#include "input/TextDialogLayout.h"
#include "input/UrlListImport.h"
#include "input/WidgetText.h"
#include "platform/Charset.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QScreen>

#include <algorithm>

namespace harvina {
namespace {

// A file imported by "内容" larger than this is cut here.
constexpr qint64 kMaxImportedFileBytes = 16 * 1024 * 1024;

TextDialog* g_current = nullptr;

void Place(QWidget& widget, const char* name, int left, int top, int width, int height)
{
    widget.setObjectName(QString::fromUtf8(name));
    widget.setGeometry(left, top, width, height);
}

void Place(QWidget& widget, const LayoutRect& r)
{
    widget.setGeometry(r.left, r.top, std::max(0, r.width), std::max(0, r.height));
}

QString FileContent(const std::string& localPath)
{
    QFile file(QString::fromStdString(NativePath(localPath)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(kMaxImportedFileBytes);
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return ToWidgetText(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

} // namespace

TextDialog::TextDialog(TextDialogRequest& request, QWidget* owner)
    : QDialog(owner), request_(request), margin_(EffectiveMargin(request.margin)), hint_(this), body_(this),
      strip_(this), restore_(QStringLiteral("恢复"), &strip_), clear_(QStringLiteral("清空"), &strip_),
      paste_(QStringLiteral("粘贴"), &strip_), contents_(QStringLiteral("内容"), &strip_),
      fileNames_(QStringLiteral("文件名"), &strip_), ok_(QStringLiteral("确定"), this),
      cancel_(QStringLiteral("取消"), this)
{
    resize(kTextDialogClient.width, kTextDialogClient.height);
    Place(hint_, "编辑框提示", 13, 8, 395, 33);
    hint_.SetHint("*");
    Place(body_, "编辑框正文", 5, 56, 411, 168);
    Place(strip_, "外形框", 8, 320, 336, 34);
    Place(restore_, "按钮恢复", 0, 5, 51, 24);
    Place(clear_, "按钮清空", 54, 5, 51, 24);
    Place(paste_, "按钮粘贴", 107, 5, 85, 24);
    Place(contents_, "按钮文件", 208, 5, 51, 24);
    Place(fileNames_, "按钮文件名", 259, 5, 69, 24);
    Place(ok_, "按钮确定", 351, 328, 64, 24);
    Place(cancel_, "按钮取消", 414, 328, 64, 24);
    for (QPushButton* button : {&restore_, &clear_, &paste_, &contents_, &fileNames_, &ok_, &cancel_})
        button->setAutoDefault(false);

    connect(&ok_, &QPushButton::clicked, this, &TextDialog::Accept);
    connect(&cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(&restore_, &QPushButton::clicked, this, &TextDialog::RestoreInitial);
    connect(&clear_, &QPushButton::clicked, this, [this] { body_.clear(); });
    connect(&paste_, &QPushButton::clicked, this,
            [this] { body_.setPlainText(QGuiApplication::clipboard()->text()); });
    connect(&contents_, &QPushButton::clicked, this, [this] { ImportFiles(true); });
    connect(&fileNames_, &QPushButton::clicked, this, [this] { ImportFiles(false); });

    // Creation, in order.
    contents_.setVisible(request.importButtons == 1 || request.importButtons == 3);
    fileNames_.setVisible(request.importButtons == 2 || request.importButtons == 3);

    hint_.SetHint(request.hint);
    setWindowTitle(ToWidgetText(request.caption));
    body_.setPlainText(ToWidgetText(request.initialText));
    body_.setReadOnly(request.bodyInputMode == 1);

    if (request.displayOnly) {
        ok_.hide();
        strip_.hide();
        QPalette palette = body_.palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        body_.setPalette(palette);
        body_.setReadOnly(true);
        hint_.SetBold(true);
        cancel_.setText(QStringLiteral("关闭(&G)"));
        cancel_.setDefault(true);
    }

    if (request.scrollBars) {
        body_.setLineWrapMode(QPlainTextEdit::NoWrap);
        body_.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        body_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }

    request.accepted = false;
    request.resultText.clear();

    const LayoutSize client = TextDialogClientSize(request.bodyWidth, request.bodyHeight, margin_);
    resize(client.width, client.height);
    ApplyLayout();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize frame = frameGeometry().size();
        const LayoutRect place =
            CentredWindow({screen->geometry().width(), screen->geometry().height()}, {frame.width(), frame.height()});
        move(place.left, place.top);
    }
    if (request.maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    body_.setFocus();
}

TextDialog* TextDialog::Current()
{
    return g_current;
}

void TextDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    ApplyLayout();
}

void TextDialog::ApplyLayout()
{
    const TextDialogGeometry g = LayoutTextDialog({width(), height()}, margin_, hint_.Hint());
    Place(hint_, g.hint);
    Place(body_, g.body);
    Place(strip_, g.strip);
    Place(cancel_, g.cancel);
    Place(ok_, g.ok);
}

void TextDialog::closeEvent(QCloseEvent* event)
{
    static const QString kQuestion = QStringLiteral("内容已被改动，是否要放弃？");
    const bool unchanged = body_.toPlainText() == ToWidgetText(request_.initialText);
    if (request_.displayOnly || unchanged || ActiveMessageBoxes().AskYesNo(this, VortanTitle(), kQuestion)) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
}

void TextDialog::Accept()
{
    request_.resultText = FromWidgetText(body_.toPlainText());
    request_.accepted = true;
    accept();
}

void TextDialog::RestoreInitial()
{
    if (request_.initialText.empty()) {
        ActiveMessageBoxes().Inform(this, VortanTitle(), QStringLiteral("启动值为空！"));
        return;
    }
    body_.setPlainText(ToWidgetText(request_.initialText));
}

void TextDialog::ImportFiles(bool contents)
{
    static const std::string kContentsTitle = LocalText("选择多个文件，将导入其文件内容");
    static const std::string kNamesTitle = LocalText("选择多个文件，将导入其文件路径");
    static const std::string kFilter = LocalText("文本文本|*.txt;*.text;*.ini;*.htn;*.html|全部文件|*.*");

    const std::string chosen = PickOpenFiles(this, contents ? kContentsTitle : kNamesTitle, kFilter);
    size_t start = 0;
    while (start < chosen.size()) {
        const size_t end = std::min(chosen.find("\r\n", start), chosen.size());
        const std::string path = chosen.substr(start, end - start);
        AppendToEnd(body_, (contents ? FileContent(path) : ToWidgetText(path)) + QLatin1Char('\n'));
        QCoreApplication::processEvents();
        start = end + 2;
    }
}

bool ShowTextDialog(const std::string& initialText, const std::optional<std::string>& hint,
                    const std::string& caption, QWidget* owner, std::string& resultText, bool inputMode,
                    const TextDialogOptions& options)
{
    static const std::string kInputHint = LocalText("请输入数据：");
    static const std::string kDisplayHint = LocalText("以下为信息详情：");
    static const std::string kInputCaption = LocalText("输入：");
    static const std::string kDisplayCaption = LocalText("信息：");
    if (g_current)
        return false;

    TextDialogRequest request;
    request.initialText = initialText;
    if (hint)
        request.hint = !hint->empty() ? *hint : inputMode ? kInputHint : kDisplayHint;
    request.caption = !caption.empty() ? caption : inputMode ? kInputCaption : kDisplayCaption;
    request.displayOnly = !inputMode;
    request.bodyInputMode = options.bodyInputMode;
    request.maximised = options.maximised;
    request.bodyWidth = options.bodyWidth;
    request.bodyHeight = options.bodyHeight;
    request.scrollBars = options.scrollBars;
    request.margin = options.margin;
    request.importButtons = options.importButtons;

    TextDialog dialog(request, owner);
    g_current = &dialog;
    struct Reset {
        ~Reset() { g_current = nullptr; }
    } reset;
    dialog.exec();
    if (request.accepted)
        resultText = request.resultText;
    return request.accepted;
}

} // namespace harvina
