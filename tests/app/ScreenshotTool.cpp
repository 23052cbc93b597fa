// Writes PNG pictures of the program's windows for the README: the main window
// after a real job against a loopback site, the generator window, and the text
// editor dialog in both modes. Run under a display (scripts/screenshots.sh).
#include "app/MainWindow.h"
#include "input/MessageBoxes.h"
#include "input/SearchUrls.h"
#include "input/TextDialog.h"
#include "platform/Charset.h"
#include "settings/SettingsStore.h"

#include <httplib.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <thread>

namespace harvina {
namespace {

class SilentBoxes final : public MessageBoxes {
public:
    void Inform(QWidget*, const QString&, const QString& text) override { last = text; }
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return true; }
    QString last;
};

bool Save(QWidget& widget, const QDir& out, const char* name)
{
    widget.show();
    widget.raise();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const QString path = out.filePath(QString::fromUtf8(name));
    const bool ok = widget.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toUtf8().constData());
    return ok;
}

int Run(const QDir& out)
{
    httplib::Server site;
    site.Get(R"(/news/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        const std::string n = request.matches[1];
        response.set_content("<html><head><title>示例新闻 " + n + "</title></head><body>合作伙伴 WWW.ABBA-" + n +
                                 ".cn <a href=\"http://shop" + n + ".example.com/\">商城</a>"
                                 "<a href=\"https://blog" + n + ".example.net/a\">博客</a></body></html>",
                             "text/html; charset=utf-8");
    });
    const int port = site.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { site.listen_after_bind(); });
    while (!site.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    QTemporaryDir dir;
    SettingsStore store;
    store.OpenFile(LocalPath(dir.filePath("s.ini").toStdString()), StorageMode::Disk);
    SilentBoxes boxes;
    SetMessageBoxes(&boxes);

    bool ok = true;
    {
        MainWindow window(store);
        QStringList lines;
        for (int n = 1; n <= 4; ++n)
            lines << QStringLiteral("http://127.0.0.1:%1/news/%2").arg(port).arg(n);
        window.input.setPlainText(lines.join('\n'));
        window.saveFolder.setText(dir.filePath(QStringLiteral("域名提取结果")));
        window.show();
        window.start.click();
        std::printf("job: %s\n", boxes.last.toUtf8().constData());
        window.saveFolder.setText(QDir::homePath() + QStringLiteral("/域名提取结果"));
        ok &= Save(window, out, "main-window.png");

        window.generate.click();
        ok &= Save(*window.Generator(), out, "generator.png");
        window.Generator()->hide();

        TextDialogRequest keywords;
        keywords.hint = LocalText("输入关键词列表：");
        keywords.caption = LocalText("输入：");
        keywords.initialText = LocalText("手机\r\n笔记本电脑\r\n域名注册");
        TextDialog input(keywords);
        ok &= Save(input, out, "keyword-dialog.png");
        input.hide();

        SearchUrlControls controls;
        controls.pageCountText = [] { return std::string("2"); };
        controls.engines = [] { return SearchEngineChoice{true, true, true}; };
        TextDialogRequest result;
        result.hint = LocalText("以下为信息详情：");
        result.caption = LocalText("生成结果：");
        result.initialText = GenerateSearchUrlText(keywords.initialText, controls);
        result.displayOnly = true;
        TextDialog display(result);
        ok &= Save(display, out, "result-dialog.png");
        display.hide();
    }

    SetMessageBoxes(nullptr);
    site.stop();
    serving.join();
    return ok ? 0 : 1;
}

} // namespace
} // namespace harvina

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!out.exists() && !QDir().mkpath(out.path()))
        return 1;
    return harvina::Run(out);
}
