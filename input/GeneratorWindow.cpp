#include "input/GeneratorWindow.h"

#include "input/SearchUrls.h"
#include "input/TextDialog.h"
#include "input/WidgetText.h"
#include "platform/Charset.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace harvina {
namespace {

const std::string& Section()
{
    static const std::string kSection = LocalText("生成搜索网址");
    return kSection;
}

void Place(QWidget& widget, const char* name, int left, int top, int width, int height)
{
    widget.setObjectName(QString::fromUtf8(name));
    widget.setGeometry(left, top, width, height);
}

} // namespace

GeneratorWindow::GeneratorWindow(QWidget* owner, PersistControls persist)
    : QWidget(owner, Qt::Window), persist_(std::move(persist)), engines_(QStringLiteral("搜索引擎："), this),
      baidu_(QStringLiteral("百度"), this), sogou_(QStringLiteral("搜狗"), this), so360_(QStringLiteral("360"), this),
      generate_(QStringLiteral("输入关键词开始生成"), this), pages_(QStringLiteral("80"), this)
{
    setObjectName(QStringLiteral("窗口生成搜索网址"));
    setWindowTitle(QStringLiteral("生成搜索引擎网址列表"));
    resize(364, 121);
    Place(engines_, "标签1", 16, 16, 96, 24);
    Place(baidu_, "选择框百度", 104, 16, 80, 24);
    Place(sogou_, "选择框搜狗", 192, 16, 80, 24);
    Place(so360_, "选择框360", 288, 16, 80, 24);
    Place(generate_, "按钮生成", 16, 48, 320, 32);
    Place(pages_, "编辑框页数", 272, 54, 50, 19);
    for (QCheckBox* box : {&baidu_, &sogou_, &so360_})
        box->setChecked(true);
    SetControlTag(generate_, QString());
    connect(&generate_, &QPushButton::clicked, this, &GeneratorWindow::GenerateSearchUrls);

    if (persist_)
        persist_(*this, true, Section());
}

void GeneratorWindow::closeEvent(QCloseEvent* event)
{
    if (persist_)
        persist_(*this, false, Section());
    event->accept();
}

void GeneratorWindow::GenerateSearchUrls()
{
    static const std::string kHint = LocalText("输入关键词列表：");
    static const std::string kResultCaption = LocalText("生成结果：");

    std::string keywords;
    if (!ShowTextDialog(FromWidgetText(ControlTag(generate_)), kHint, {}, nullptr, keywords, true))
        return;
    SetControlTag(generate_, ToWidgetText(keywords));

    SearchUrlControls controls;
    controls.pageCountText = [this] { return FromWidgetText(pages_.text()); };
    controls.engines = [this] {
        return SearchEngineChoice{baidu_.isChecked(), sogou_.isChecked(), so360_.isChecked()};
    };
    controls.afterPage = [] { QCoreApplication::processEvents(); };
    // Closing the window mid-way ends the generation; nothing is shown then.
    controls.cancelled = [this] { return !isVisible(); };
    const std::string result = GenerateSearchUrlText(keywords, controls);
    if (!isVisible())
        return;

    std::string ignored;
    (void)ShowTextDialog(result, std::nullopt, kResultCaption, nullptr, ignored, false);
}

} // namespace harvina
