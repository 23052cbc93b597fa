#include <chrono>
#include <ctime>
#include <filesystem>
#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/ExtractionState.h"
#include "engine/JobClock.h"
#include "engine/JobControl.h"
#include "platform/Charset.h"
#include "tests/engine/FakeHost.h"
#include "tests/engine/LoopbackSite.h"
#include "tests/engine/TempFolder.h"

namespace harvina {
namespace {

using namespace std::chrono_literals;
using test::FakeHost;
using test::LoopbackSite;
using test::ReadFile;
using test::TempFolder;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

std::string Page(const std::string& title, const std::string& body)
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// A port on 127.0.0.1 where nothing listens.
int ClosedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class ExtractionJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        GlobalExtractionState().useWinInet = false;
        host.saveFolder = LocalPath(temp.Path());
    }

    void SetInput(const std::vector<std::string>& lines)
    {
        host.inputText.clear();
        for (std::size_t i = 0; i < lines.size(); ++i)
            host.inputText += (i ? "\r\n" : "") + LocalPath(lines[i]);
    }

    // Runs one whole job; returns the result file.
    std::string Run()
    {
        ToggleExtraction(host);
        return host.resultPath.empty() ? std::string() : ReadFile(NativePath(host.resultPath));
    }

    std::string LastMessage() const { return host.messages.empty() ? "" : Utf8Text(host.messages.back()); }

    TempFolder temp;
    LoopbackSite site;
    FakeHost host;
};

TEST_F(ExtractionJob, BothPassesShareOneDuplicateSetAcrossPages)
{
    site.AddPage("/1", Page("First",
                            "Visit SCHEME://NEWS.EXAMPLE.COM/x and a..b.com and .-x.example.net here."
                            "<a href=\"http://News.Example.com/\">n</a> <a href=\"/rel.html\">r</a>"
                            "<a href=\"page.html\">p</a> <a href = \"//cdn.example.org/a\">c</a>"
                            "<a href=\"mailto:someone@example.com\">m</a>"));
    // GBK bytes: the title reaches the status bar as local text.
    site.AddPage("/2", LocalText(Page("中文标题", "again news.example.com, fresh.example.cn"
                                                  "<a href=\"http://news.example.com/\">again</a>")));
    SetInput({site.Url("/1"), site.Url("/2")});
    host.threadIndex = 0;

    EXPECT_EQ(Run(), "news.example.com\r\nab.com\r\nx.example.net\r\nNews.Example.com\r\ncdn.example.org\r\n"
                     "fresh.example.cn\r\n");
    EXPECT_THAT(LastMessage(), StartsWith("提取完成，已提取 6 个域名！"));
    EXPECT_THAT(LastMessage(), ::testing::MatchesRegex(".*！[0-9.]+ (毫秒|秒)"));
    EXPECT_EQ(host.Status(0), "第 2 个");
    EXPECT_EQ(host.Status(1), "0 个线程");
    EXPECT_EQ(host.Status(2), "已提取 6 个域名");
    EXPECT_EQ(host.Status(3), " 中文标题 ");
    EXPECT_THAT(host.StatusHistory(2),
                ElementsAre("已提取0个域名", "已提取 5 个域名", "已提取5个域名", "已提取 6 个域名"));
    EXPECT_THAT(host.StatusHistory(3), ElementsAre(" First ", " 中文标题 "));
    EXPECT_THAT(host.StatusHistory(0), ElementsAre("第 1 个", "第 2 个"));
    std::vector<std::string> captions;
    for (const std::string& caption : host.captions)
        captions.push_back(Utf8Text(caption));
    EXPECT_THAT(captions, ElementsAre("停止提取", "正在停止", "开始提取"));
}

TEST_F(ExtractionJob, SuffixRestrictionIsContainmentAndRefusedDomainsStaySeen)
{
    site.AddPage("/1", Page("", "shop.example.com.cn x.example.org shop.company.net"));
    site.AddPage("/2", Page("", "x.example.org y.example.org"));
    // The restriction is switched off between the two pages.
    site.OnRequest([this](const std::string& path) {
        if (path == "/2")
            host.restrictSuffix = false;
    });
    SetInput({site.Url("/1"), site.Url("/2")});
    host.threadIndex = 0;
    host.restrictSuffix = true;
    host.suffixText = ".com";

    EXPECT_EQ(Run(), "shop.example.com.cn\r\nshop.company.net\r\ny.example.org\r\n");
}

TEST_F(ExtractionJob, RestrictionWithoutSuffixesWritesNothing)
{
    site.AddPage("/1", Page("", "a.example.com b.example.cn"));
    SetInput({site.Url("/1")});
    host.restrictSuffix = true;
    for (const char* suffixes : {"", "|", "||"}) {
        host.suffixText = suffixes;
        EXPECT_EQ(Run(), "") << '"' << suffixes << '"';
        EXPECT_THAT(LastMessage(), StartsWith("提取完成，已提取 0 个域名！"));
    }
}

TEST_F(ExtractionJob, PicturesOnlyKeepsLinksAroundAnImageAndLeavesTheTextPass)
{
    site.AddPage("/1", Page("", "text.example.com "
                                "<a href=\"http://pic.example.com/\"><IMG src=\"a.png\"></a>"
                                "<a href=\"http://plain.example.com/\">plain</a>"));
    SetInput({site.Url("/1")});
    host.imagesOnly = true;
    EXPECT_EQ(Run(), "text.example.com\r\npic.example.com\r\n");
}

TEST_F(ExtractionJob, WithBothPassesOffPagesAreStillFetchedAndTitled)
{
    site.AddPage("/1", Page("One", "a.example.com <a href=\"http://b.example.com/\">b</a>"));
    site.AddPage("/2", Page("Two", "c.example.com"));
    SetInput({site.Url("/1"), site.Url("/2")});
    host.threadIndex = 0;
    host.extractText = false;
    host.extractLinks = false;

    EXPECT_EQ(Run(), "");
    EXPECT_EQ(site.RequestCount(), 2);
    EXPECT_EQ(host.Status(3), " Two ");
    EXPECT_THAT(LastMessage(), StartsWith("提取完成，已提取 0 个域名！"));
}

TEST_F(ExtractionJob, AHugeTitleIsCutAtACharacterForTheStatusBar)
{
    std::string title;
    for (int i = 0; i < 3000; ++i)
        title += "中";
    site.AddPage("/1", LocalText(Page(title, "")));
    SetInput({site.Url("/1")});
    Run();
    std::string expected = " ";
    for (int i = 0; i < 511; ++i)
        expected += "中";
    EXPECT_EQ(host.Status(3), expected);
}

TEST_F(ExtractionJob, FailedFetchesCountAsFinishedPages)
{
    site.AddPage("/ok", Page("Ok", "ok.example.com"));
    SetInput({"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/", site.Url("/missing"), site.Url("/ok")});
    host.threadIndex = 0;

    EXPECT_EQ(Run(), "ok.example.com\r\n");
    EXPECT_EQ(host.Status(0), "第 3 个");
    EXPECT_EQ(host.Status(1), "0 个线程");
    EXPECT_EQ(GlobalExtractionState().startedCount, 3);
    EXPECT_THAT(LastMessage(), StartsWith("提取完成，已提取 1 个域名！"));
}

TEST_F(ExtractionJob, ListFilesFeedOneWorkerPerLine)
{
    for (const char* path : {"/1", "/2", "/3", "/4"})
        site.AddPage(path, Page("", std::string("p") + (path + 1) + ".example.com"));
    // Any extension, blank lines skipped, a list line is never a list itself.
    const std::string list = temp / "pages.dat";
    temp.Write("pages.dat", "\r\n" + site.Url("/1") + "\r\n\r\n" + site.Url("/2") + "\r\n" + list + "\r\n");
    // A line is used as it is: this name ends in a blank.
    temp.Write("spaced ", site.Url("/3") + "\n");
    SetInput({list, "", temp / "spaced ", site.Url("/4"), temp / "missing.txt"});
    host.threadIndex = 19;

    const std::string result = Run();
    EXPECT_THAT(site.Requests(), UnorderedElementsAre("/1", "/2", "/3", "/4"));
    for (const char* domain : {"p1.example.com\r\n", "p2.example.com\r\n", "p3.example.com\r\n", "p4.example.com\r\n"})
        EXPECT_THAT(result, HasSubstr(domain));
    EXPECT_THAT(LastMessage(), StartsWith("提取完成，已提取 4 个域名！"));
    // Workers are started before earlier ones read their line, so there may
    // be more of them than lines: the surplus read nothing and end.
    EXPECT_GE(GlobalExtractionState().startedCount, 5);
    EXPECT_EQ(GlobalExtractionState().runningCount, 0);
}

TEST_F(ExtractionJob, OneThreadWritesInInputOrder)
{
    site.AddPage("/slow", Page("", "first.example.com"), 60ms);
    site.AddPage("/2", Page("", "second.example.com"));
    site.AddPage("/3", Page("", "third.example.com"));
    SetInput({site.Url("/slow"), site.Url("/2"), site.Url("/3")});
    host.threadIndex = 0;

    EXPECT_EQ(Run(), "first.example.com\r\nsecond.example.com\r\nthird.example.com\r\n");
    EXPECT_EQ(site.MaxConcurrent(), 1);
}

TEST_F(ExtractionJob, TwoJobsInOneSecondShareTheFileName)
{
    site.AddPage("/a", Page("", "a.example.com"));
    site.AddPage("/b", Page("", "b.example.com"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::string before = FormatTimestamp();
        SetInput({site.Url("/a")});
        Run();
        const std::string firstPath = host.resultPath;
        SetInput({site.Url("/b")});
        const std::string second = Run();
        if (FormatTimestamp() != before)
            continue; // crossed a second boundary: try again
        EXPECT_EQ(host.resultPath, firstPath);
        EXPECT_EQ(second, "b.example.com\r\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);
        return;
    }
    FAIL() << "no two jobs within one second";
}

TEST_F(ExtractionJob, StopRequestLetsRunningPagesFinishAndStartsNoMore)
{
    for (int i = 1; i <= 6; ++i)
        site.AddPage("/" + std::to_string(i), Page("", "d" + std::to_string(i) + ".example.com"));
    SetInput({site.Url("/1"), site.Url("/2"), site.Url("/3"), site.Url("/4"), site.Url("/5"), site.Url("/6")});
    host.threadIndex = 1;
    site.CloseGate();
    bool pressed = false;
    host.onEvents = [&](FakeHost& h) {
        if (!pressed && site.RequestCount() >= 2) {
            pressed = true;
            ToggleExtraction(h); // the second press, nested in event processing
            site.OpenGate();
        }
    };

    const std::string result = Run();
    EXPECT_TRUE(pressed);
    EXPECT_THAT(site.Requests(), UnorderedElementsAre("/1", "/2"));
    EXPECT_EQ(result.size(), std::string("d1.example.com\r\nd2.example.com\r\n").size());
    EXPECT_THAT(LastMessage(), StartsWith("提取完成，已提取 2 个域名！"));
    std::vector<std::string> captions;
    for (const std::string& caption : host.captions)
        captions.push_back(Utf8Text(caption));
    EXPECT_THAT(captions, ElementsAre("停止提取", "停止提取", "正在停止", "开始提取"));
}

TEST_F(ExtractionJob, ThreadLimitIsReadBeforeEveryStart)
{
    for (int i = 1; i <= 8; ++i)
        site.AddPage("/" + std::to_string(i), Page("", "x" + std::to_string(i) + ".example.com"), 40ms);
    std::vector<std::string> lines;
    for (int i = 1; i <= 8; ++i)
        lines.push_back(site.Url("/" + std::to_string(i)));
    SetInput(lines);
    host.threadIndex = 3;
    host.onEvents = [](FakeHost& h) {
        const int started = GlobalExtractionState().startedCount;
        if (started == 4)
            h.threadIndex = 0; // lowered: one at a time from now on
        else if (started == 6)
            h.threadIndex = 3; // raised again
    };

    Run();
    const std::vector<int> concurrency = site.ArrivalConcurrency();
    ASSERT_EQ(concurrency.size(), 8u);
    EXPECT_GE(*std::max_element(concurrency.begin(), concurrency.begin() + 4), 2);
    EXPECT_EQ(concurrency[4], 1);
    EXPECT_EQ(concurrency[5], 1);
    EXPECT_EQ(concurrency[7], 2);
}

TEST_F(ExtractionJob, ResultFileThatCannotBeCreatedStartsNoJob)
{
    site.AddPage("/1", Page("", "a.example.com"));
    SetInput({site.Url("/1")});
    temp.Write("plain-file", "");
    host.saveFolder = LocalPath(temp / "plain-file");

    EXPECT_EQ(Run(), "");
    ASSERT_EQ(host.fileErrors.size(), 1u);
    EXPECT_THAT(Utf8Text(host.fileErrors[0]), StartsWith("无法创建结果文件：" + temp / "plain-file/"));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(site.RequestCount(), 0);
    EXPECT_EQ(Utf8Text(host.StartCaption()), "开始提取");

    // The next press with a usable folder runs normally; missing folders are made.
    host.saveFolder = LocalPath(temp / "new/folder");
    EXPECT_EQ(Run(), "a.example.com\r\n");
}

TEST_F(ExtractionJob, FailedWritesAreCountedInTheMessage)
{
    site.AddPage("/1", Page("", "a.example.com b.example.com"));
    SetInput({site.Url("/1")});
    // Whatever second the job starts in, its result file is the full device.
    const std::time_t now = std::time(nullptr);
    for (std::time_t t = now; t < now + 5; ++t) {
        std::tm local {};
        localtime_r(&t, &local);
        char name[40];
        std::strftime(name, sizeof name, "%Y-%m-%d %H-%M-%S.txt", &local);
        std::filesystem::create_symlink("/dev/full", temp / name);
    }
    ToggleExtraction(host); // not Run(): the device reads back endless zeros
    EXPECT_THAT(LastMessage(), StartsWith("提取完成，已提取 2 个域名！"));
    EXPECT_THAT(LastMessage(), HasSubstr("\r\n其中 2 个域名未能写入结果文件！"));
}

TEST_F(ExtractionJob, SecondFetchPathIsUsedWhenAsked)
{
    site.AddPage("/1", Page("Alt", "alt.example.com"));
    SetInput({site.Url("/1")});
    GlobalExtractionState().useWinInet = true;
    EXPECT_EQ(Run(), "alt.example.com\r\n");
    EXPECT_EQ(host.Status(3), " Alt ");
}

TEST_F(ExtractionJob, EmptyInputGivesAnEmptyFileAndTheMessage)
{
    host.inputText = "";
    EXPECT_EQ(Run(), "");
    EXPECT_TRUE(std::filesystem::exists(NativePath(host.resultPath)));
    EXPECT_THAT(LastMessage(), StartsWith("提取完成，已提取 0 个域名！"));
}

} // namespace
} // namespace harvina
