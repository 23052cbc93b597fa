#include "app/ExtractionState.h"
#include "app/MainWindow.h"
#include "platform/Charset.h"
#include "settings/SettingsStore.h"
#include "tests/input/GuiTestSupport.h"

#include <httplib.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace harvina {
namespace {

// Pages /p/N on 127.0.0.1: one domain in the text, one in a link, a title.
class PageServer {
public:
    explicit PageServer(std::chrono::milliseconds delay = {}) : delay_(delay)
    {
        server_.Get(R"(/p/(\d+))", [this](const httplib::Request& request, httplib::Response& response) {
            ++hits;
            std::this_thread::sleep_for(delay_);
            const std::string n = request.matches[1];
            response.set_content("<html><head><title>页面" + n + "</title></head><body>AB-" + n +
                                     ".cn <a href=\"http://link-" + n + ".example.net/x\">l</a></body></html>",
                                 "text/html; charset=utf-8");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // A stop before the accept loop runs would be lost and the join would hang.
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~PageServer()
    {
        server_.stop();
        thread_.join();
    }

    [[nodiscard]] QString Pages(int count) const
    {
        QStringList lines;
        for (int n = 1; n <= count; ++n)
            lines << QStringLiteral("http://127.0.0.1:%1/p/%2").arg(port_).arg(n);
        return lines.join('\n');
    }

    std::atomic<int> hits{0};

private:
    httplib::Server server_;
    std::chrono::milliseconds delay_;
    int port_ = 0;
    std::thread thread_;
};

class JobFromWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(store_.OpenFile(LocalPath(dir_.filePath("s.ini").toStdString()), StorageMode::Disk));
        window_ = std::make_unique<MainWindow>(store_);
        window_->saveFolder.setText(dir_.filePath(QStringLiteral("结果/子")));
        window_->show();
    }

    // Every line of every result file, in file order.
    [[nodiscard]] QStringList ResultLines() const
    {
        QStringList lines;
        const QDir folder(window_->saveFolder.text());
        for (const QString& name : folder.entryList({"*.txt"}, QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n"));
            for (const QByteArray& line : bytes.split('\n'))
                if (!line.isEmpty())
                    lines << QString::fromLatin1(line.chopped(1));
        }
        return lines;
    }

    QTemporaryDir dir_;
    SettingsStore store_;
    FakeMessageBoxes boxes_;
    std::unique_ptr<MainWindow> window_;
};

// Records every caption the start button shows while the job runs.
class CaptionWatch {
public:
    explicit CaptionWatch(QPushButton& button)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this, &button] {
            if (seen.isEmpty() || seen.back() != button.text())
                seen << button.text();
        });
        timer_.start(1);
    }
    QStringList seen;

private:
    QTimer timer_;
};

TEST_F(JobFromWindowTest, WholeJobFromTheStartButton)
{
    PageServer server(std::chrono::milliseconds(60));
    window_->input.setPlainText(server.Pages(3) + "\n\n");
    window_->threads.setCurrentIndex(1);
    CaptionWatch captions(window_->start);

    window_->start.click();
    QCoreApplication::processEvents();

    EXPECT_EQ(server.hits, 3);
    EXPECT_EQ(window_->start.text(), "开始提取");
    EXPECT_TRUE(captions.seen.contains("停止提取"));
    EXPECT_TRUE(captions.seen.contains("正在停止"));
    EXPECT_FALSE(GlobalExtractionState().useWinInet);

    ASSERT_EQ(boxes_.informed.size(), 1u);
    EXPECT_EQ(boxes_.informed[0].title, "信息：");
    EXPECT_TRUE(boxes_.informed[0].text.startsWith("提取完成，已提取 6 个域名！")) << boxes_.informed[0].text.toStdString();

    QStringList lines = ResultLines();
    lines.sort();
    EXPECT_EQ(lines, (QStringList{"ab-1.cn", "ab-2.cn", "ab-3.cn", "link-1.example.net", "link-2.example.net",
                                  "link-3.example.net"}));

    EXPECT_EQ(window_->statusParts[0].text(), "第 3 个");
    EXPECT_EQ(window_->statusParts[1].text(), "0 个线程");
    EXPECT_EQ(window_->statusParts[2].text(), "已提取 6 个域名");
    EXPECT_TRUE(window_->statusParts[3].text().contains("页面")) << window_->statusParts[3].text().toStdString();
}

TEST_F(JobFromWindowTest, WorkersSeeTheCheckBoxesAsSet)
{
    PageServer server;
    window_->input.setPlainText(server.Pages(2));
    window_->extractText.click();
    window_->start.click();
    QStringList lines = ResultLines();
    lines.sort();
    EXPECT_EQ(lines, (QStringList{"link-1.example.net", "link-2.example.net"}));
}

TEST_F(JobFromWindowTest, SecondPressStopsTheJob)
{
    PageServer server(std::chrono::milliseconds(80));
    window_->input.setPlainText(server.Pages(10));
    window_->threads.setCurrentIndex(0);
    bool pressedWhileRunning = false;
    QTimer::singleShot(120, [&] {
        pressedWhileRunning = window_->start.text() == "停止提取";
        window_->start.click();
    });

    window_->start.click();

    EXPECT_TRUE(pressedWhileRunning);
    EXPECT_LT(server.hits, 10);
    EXPECT_GE(server.hits, 1);
    EXPECT_EQ(GlobalExtractionState().startedCount, server.hits) << "no worker starts after the request";
    EXPECT_EQ(window_->start.text(), "开始提取");
    ASSERT_EQ(boxes_.informed.size(), 1u) << "one completion message, from the job itself";
    EXPECT_TRUE(boxes_.informed[0].text.startsWith(
        QStringLiteral("提取完成，已提取 %1 个域名！").arg(GlobalExtractionState().extractedCount.load())));
}

TEST_F(JobFromWindowTest, ResultFileThatCannotBeCreatedIsReported)
{
    QFile blocker(dir_.filePath("plain-file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PageServer server;
    window_->input.setPlainText(server.Pages(1));
    window_->saveFolder.setText(dir_.filePath("plain-file/sub"));
    window_->start.click();
    EXPECT_EQ(server.hits, 0) << "no job without a result file";
    EXPECT_EQ(window_->start.text(), "开始提取");
    ASSERT_EQ(boxes_.informed.size(), 1u);
    EXPECT_EQ(boxes_.informed[0].title, "信息：");
    EXPECT_TRUE(boxes_.informed[0].text.startsWith("无法创建结果文件：")) << boxes_.informed[0].text.toStdString();
}

TEST_F(JobFromWindowTest, ClosingDuringAJobSavesAndHandsOverTheEnd)
{
    PageServer server(std::chrono::milliseconds(80));
    window_->input.setPlainText(server.Pages(3));
    window_->threads.setCurrentIndex(0);
    bool endedWhileRunning = false;
    window_->endWhileRunning = [&] { endedWhileRunning = true; };
    QTimer::singleShot(40, [&] { window_->close(); });
    window_->start.click();
    EXPECT_TRUE(endedWhileRunning);
    QFile settings(dir_.filePath("s.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains(QByteArray::fromStdString(L("\r\n编辑框输入=http://127.0.0.1:"))));

    endedWhileRunning = false;
    window_->close();
    EXPECT_FALSE(endedWhileRunning) << "an idle window just closes";
}

TEST_F(JobFromWindowTest, RightPressStartsOnTheSecondPathAndStopsToo)
{
    PageServer server(std::chrono::milliseconds(80));
    window_->input.setPlainText(server.Pages(10));
    window_->threads.setCurrentIndex(0);
    const auto rightPress = [this] {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), QPointF(4, 4), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window_->start, &press);
    };
    // A left press starts; the right press during the job is the stop request
    // and switches to the second path at once.
    QTimer::singleShot(120, rightPress);
    window_->start.click();
    EXPECT_LT(server.hits, 10);
    EXPECT_TRUE(GlobalExtractionState().useWinInet);
    ASSERT_EQ(boxes_.informed.size(), 1u);

    PageServer other;
    window_->input.setPlainText(other.Pages(2));
    rightPress();
    EXPECT_EQ(other.hits, 2) << "a right press on an idle button runs a job";
    EXPECT_TRUE(GlobalExtractionState().useWinInet);
    EXPECT_EQ(boxes_.informed.size(), 2u);
}

} // namespace
} // namespace harvina
