#include <chrono>
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/CliInput.h"
#include "cli/CliOptions.h"
#include "platform/Charset.h"
#include "tests/cli/ChildProcess.h"
#include "tests/engine/LoopbackSite.h"
#include "tests/engine/TempFolder.h"

namespace harvina {
namespace {

using test::ChildProcess;
using test::LoopbackSite;
using test::ReadFile;
using test::RunProcess;
using test::TempFolder;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

const std::string kCli = HARVINA_CLI_PATH;

TEST(CliArguments, ParsesOptionsAndInputs)
{
    const CliParseResult parsed = ParseCliArguments(
        {"-t", "20", "--no-text", "--no-links", "--images-only", "--suffix", ".com|.cn", "-o", "out", "--alt-fetch",
         "--stdout", "-q", "http://a/", " spaced ", "--", "--not-an-option"});
    ASSERT_EQ(parsed.error, "");
    const CliOptions& o = parsed.options;
    EXPECT_EQ(o.threads, 20);
    EXPECT_FALSE(o.extractText);
    EXPECT_FALSE(o.extractLinks);
    EXPECT_TRUE(o.imagesOnly);
    EXPECT_EQ(o.suffixList, ".com|.cn");
    EXPECT_EQ(o.saveDir, "out");
    EXPECT_TRUE(o.altFetch && o.printDomains && o.quiet);
    EXPECT_EQ(o.inputs, (std::vector<std::string>{"http://a/", " spaced ", "--not-an-option"}));

    const CliParseResult defaults = ParseCliArguments({});
    EXPECT_EQ(defaults.options.threads, 6);
    EXPECT_TRUE(defaults.options.extractText && defaults.options.extractLinks);
    EXPECT_FALSE(defaults.options.suffixList.has_value());

    const CliParseResult longForms = ParseCliArguments({"--threads=3", "--input=list.txt", "--save-dir", "d"});
    EXPECT_EQ(longForms.error, "");
    EXPECT_EQ(longForms.options.threads, 3);
    EXPECT_EQ(longForms.options.inputFile, "list.txt");
}

TEST(CliArguments, RejectsWhatCannotBeMeant)
{
    const std::vector<std::vector<std::string>> rows = {
        {"-t", "0"}, {"-t", "21"}, {"-t", "6x"}, {"-t"}, {"--threads="}, {"--bogus"}, {"-o"},
        {"--stdout=yes"}, {"-i", "f", "http://a/"}, {"--demo", "http://a/"},
    };
    for (const auto& row : rows)
        EXPECT_NE(ParseCliArguments(row).error, "") << ::testing::PrintToString(row);
}

TEST(CliInput, MakesInputBoxText)
{
    EXPECT_EQ(InputBoxText(std::string_view("a\nb\r\n\nc\n")), "a\r\nb\r\n\r\nc\r\n");
    EXPECT_EQ(InputBoxText(std::string_view("\xEF\xBB\xBF" "a")), "a");
    // UTF-8 becomes local text; bytes that are not UTF-8 are taken as local already.
    EXPECT_EQ(InputBoxText(std::string_view("/tmp/列表.txt")), LocalText("/tmp/列表.txt"));
    const std::string gbk = LocalText("/tmp/列表.txt");
    EXPECT_EQ(InputBoxText(std::string_view(gbk)), gbk);
    EXPECT_EQ(InputBoxText(std::vector<std::string>{" a ", "", "b"}), " a \r\n\r\nb");
}

class CliJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        site.AddPage("/1", "<title>One</title>one.example.com <a href=\"http://Link.Example.org/\">x</a>");
        site.AddPage("/2", "<title>Two</title>two.example.cn one.example.com");
    }
    std::vector<std::string> ResultFiles() const
    {
        std::vector<std::string> files;
        if (std::filesystem::is_directory(saveDir))
            for (const auto& entry : std::filesystem::directory_iterator(saveDir))
                files.push_back(entry.path().string());
        return files;
    }

    TempFolder temp;
    std::string saveDir = temp / "results";
    LoopbackSite site;
};

TEST_F(CliJob, ReadsStdinPrintsDomainsAndWritesTheResultFile)
{
    const auto run = RunProcess(kCli, {"-t", "1", "--stdout", "-o", saveDir},
                                site.Url("/1") + "\n" + site.Url("/2") + "\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "one.example.com\nLink.Example.org\ntwo.example.cn\n");
    // With --stdout the messages go to standard error.
    EXPECT_THAT(run.err, HasSubstr("结果文件：" + saveDir + "/"));
    EXPECT_THAT(run.err, HasSubstr("提取完成，已提取 3 个域名！"));
    const auto files = ResultFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(ReadFile(files[0]), "one.example.com\r\nLink.Example.org\r\ntwo.example.cn\r\n");
}

TEST_F(CliJob, OptionsReachTheJob)
{
    temp.Write("input.txt", site.Url("/1") + "\r\n" + site.Url("/2") + "\r\n");
    struct Row {
        std::vector<std::string> options;
        std::string expected;
    };
    const Row rows[] = {
        {{"--no-text"}, "Link.Example.org\r\n"},
        {{"--no-links"}, "one.example.com\r\ntwo.example.cn\r\n"},
        {{"--images-only"}, "one.example.com\r\ntwo.example.cn\r\n"},
        {{"--suffix", ".cn|.org"}, "Link.Example.org\r\ntwo.example.cn\r\n"},
        {{"--alt-fetch"}, "one.example.com\r\nLink.Example.org\r\ntwo.example.cn\r\n"},
    };
    for (const Row& row : rows) {
        TempFolder out;
        std::vector<std::string> arguments {"-q", "-t", "1", "-i", temp / "input.txt", "-o", out.Path()};
        arguments.insert(arguments.end(), row.options.begin(), row.options.end());
        const auto run = RunProcess(kCli, arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "") << "quiet";
        const auto entry = std::filesystem::directory_iterator(out.Path());
        ASSERT_NE(entry, std::filesystem::directory_iterator());
        EXPECT_EQ(ReadFile(entry->path().string()), row.expected) << row.options[0];
    }
}

TEST_F(CliJob, ArgumentsAreInputLinesAndTheDefaultFolderIsInHome)
{
    const auto run = RunProcess(kCli, {site.Url("/2")}, {}, {"HOME=" + temp.Path()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("结果文件：" + temp.Path() + "/域名提取结果/"));
    EXPECT_THAT(run.out, HasSubstr("提取完成，已提取 2 个域名！"));
    EXPECT_TRUE(std::filesystem::is_directory(temp / "域名提取结果"));
}

TEST_F(CliJob, ExitCodes)
{
    temp.Write("plain-file", "");
    const auto cannotCreate = RunProcess(kCli, {"-o", temp / "plain-file", site.Url("/1")});
    EXPECT_EQ(cannotCreate.exitCode, 1);
    EXPECT_THAT(cannotCreate.err, HasSubstr("无法创建结果文件："));
    EXPECT_EQ(site.RequestCount(), 0);

    const auto usage = RunProcess(kCli, {"--threads", "0"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_THAT(usage.err, HasSubstr("1 to 20"));
    EXPECT_EQ(RunProcess(kCli, {"--bogus"}).exitCode, 2);
    EXPECT_EQ(RunProcess(kCli, {"-i", temp / "missing.txt"}).exitCode, 2);

    const auto help = RunProcess(kCli, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_THAT(help.out, StartsWith("Usage: harvina-cli"));
    const auto version = RunProcess(kCli, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "harvina-cli 1.2.1.0\n");
}

TEST_F(CliJob, CtrlCStopsStartingPagesAndStillReports)
{
    std::vector<std::string> pages;
    for (int i = 1; i <= 6; ++i) {
        std::string name = "p";
        name += std::to_string(i);
        site.AddPage("/" + name, name + ".example.com");
        pages.push_back(site.Url("/" + name));
    }
    site.CloseGate();
    std::vector<std::string> arguments {"-t", "2", "-o", saveDir};
    arguments.insert(arguments.end(), pages.begin(), pages.end());
    ChildProcess child(kCli, arguments, {});
    ASSERT_TRUE(site.WaitForRequests(2));
    child.Signal(SIGINT);
    // Give the job's event processing (every 10 ms) time to see the request.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    site.OpenGate();
    const auto run = child.Wait();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(site.RequestCount(), 2);
    EXPECT_THAT(run.out, HasSubstr("提取完成，已提取 2 个域名！"));
}

TEST(CliDemo, RunsTheSampleSiteWithoutNetwork)
{
    TempFolder temp;
    const auto run = RunProcess(kCli, {"--demo", "--stdout", "-o", temp.Path()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // One domain from each kind of page: UTF-8, BOM, GBK, BIG5, gzip.
    for (const char* domain : {"www.example.com\n", "Docs.Example.org\n", "wiki.example.org\n", "bbs.example.cn\n",
                               "forum.example.tw\n", "files.example.net\n", "gallery.example.com\n"})
        EXPECT_THAT(run.out, HasSubstr(domain));
    EXPECT_THAT(run.out, Not(HasSubstr("hidden.example.com")));
    EXPECT_THAT(run.err, HasSubstr("提取完成，已提取 "));
}

} // namespace
} // namespace harvina
