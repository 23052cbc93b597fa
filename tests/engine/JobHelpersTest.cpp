#include <cctype>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/DomainSet.h"
#include "app/InitApplication.h"
#include "app/ProgramDirectory.h"
#include "app/ListFile.h"
#include "app/ResultFile.h"
#include "engine/DomainFilter.h"
#include "engine/FolderTree.h"
#include "engine/JobClock.h"
#include "engine/JobControl.h"
#include "engine/PageWorker.h"
#include "platform/Charset.h"
#include "tests/engine/TempFolder.h"

namespace harvina {
namespace {

using test::ReadFile;
using test::TempFolder;

TEST(FormatElapsed, ChoosesTheFirstUnitBelowItsBound)
{
    struct Row {
        std::int64_t ms;
        const char* expected;
    };
    const Row rows[] = {
        {0, "0 毫秒"},
        {500, "500 毫秒"},
        {999, "999 毫秒"},
        {1000, "1 秒"},
        {3520, "3.52 秒"},
        {59999, "60 秒"}, // 59.999 is still seconds, rounded for display
        {60000, "1 分"},
        {75000, "1.25 分"},
        {3600000, "1 时"},
        {5400000, "1.5 时"},
        {86400000, "1 天"},
        {29LL * 86400000, "29 天"},
        {30LL * 86400000, "1 月"},
        {45LL * 86400000, "1.5 月"},
        {360LL * 86400000, "1 年"},
        {720LL * 86400000, "2 年"},
        {1234567, "20.58 分"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Utf8Text(FormatElapsed(row.ms)), row.expected) << row.ms << " ms";
}

std::string TimestampOf(std::time_t t)
{
    std::tm local {};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H-%M-%S", &local);
    return text;
}

TEST(FormatTimestamp, IsTheLocalTimeWithTwoDigitFields)
{
    const std::time_t before = std::time(nullptr);
    const std::string stamp = FormatTimestamp();
    const std::time_t after = std::time(nullptr);
    const std::string shape = "0000-00-00 00-00-00";
    ASSERT_EQ(stamp.size(), shape.size()) << stamp;
    for (std::size_t i = 0; i < shape.size(); ++i)
        EXPECT_TRUE(shape[i] == '0' ? std::isdigit(static_cast<unsigned char>(stamp[i])) != 0 : stamp[i] == shape[i])
            << stamp;
    EXPECT_TRUE(stamp == TimestampOf(before) || stamp == TimestampOf(after)) << stamp;
}

TEST(CreateFolderTree, CreatesEveryMissingFolderAndStopsAtAFailure)
{
    TempFolder temp;
    const std::string nested = temp / "a/b/c";
    EXPECT_TRUE(CreateFolderTree(LocalPath(nested) + "/"));
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    // Existing folders along the way are fine, so is a doubled separator.
    EXPECT_TRUE(CreateFolderTree(LocalPath(temp / "a//b/d") + "/"));
    EXPECT_TRUE(std::filesystem::is_directory(temp / "a/b/d"));
    // Without a trailing "/" the last name is not a folder to create.
    EXPECT_TRUE(CreateFolderTree(LocalPath(temp / "e/f")));
    EXPECT_TRUE(std::filesystem::is_directory(temp / "e"));
    EXPECT_FALSE(std::filesystem::exists(temp / "e/f"));
    // Chinese names go through the local encoding and back.
    EXPECT_TRUE(CreateFolderTree(LocalPath(temp / "域名提取结果") + "/"));
    EXPECT_TRUE(std::filesystem::is_directory(temp / "域名提取结果"));

    temp.Write("file", "x");
    EXPECT_FALSE(CreateFolderTree(LocalPath(temp / "file/sub/") ));
}

TEST(HostOfAddress, TakesTheTextBetweenDoubleSlashAndSlash)
{
    const std::pair<const char*, const char*> rows[] = {
        {"scheme://news.example.org/a/b", "news.example.org"},
        {"//cdn.example.org/x.js", "cdn.example.org"},
        {"news.example.org", "news.example.org"},
        {"scheme://example.org:8080?q=1", "example.org:8080?q=1"},
        {"http:///path", ""},
        {"/page.html", ""},
        {"a//b//c/d", "b"},
        {"", ""},
    };
    for (const auto& [address, host] : rows)
        EXPECT_EQ(HostOfAddress(address), host) << address;
}

TEST(DomainSet, ComparesBytesExactly)
{
    DomainSet set;
    EXPECT_TRUE(set.AddIfAbsent("news.example.com"));
    EXPECT_FALSE(set.AddIfAbsent("news.example.com"));
    EXPECT_TRUE(set.AddIfAbsent("News.Example.com"));
    EXPECT_TRUE(set.AddIfAbsent(" news.example.com"));
    EXPECT_TRUE(set.AddIfAbsent(""));
    EXPECT_FALSE(set.AddIfAbsent(""));
    set.Clear();
    EXPECT_TRUE(set.AddIfAbsent("news.example.com"));
}

TEST(SplitInputLines, SplitsAtCrLfOnly)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitInputLines(""), Lines({""}));
    EXPECT_EQ(SplitInputLines("a\r\n\r\n b \r\n"), Lines({"a", "", " b ", ""}));
    EXPECT_EQ(SplitInputLines("a\nb\rc"), Lines({"a\nb\rc"}));
}

TEST(ThreadLimit, IsTheIndexPlusOneWithinOneToTwenty)
{
    EXPECT_EQ(ThreadLimit(0), 1);
    EXPECT_EQ(ThreadLimit(5), 6);
    EXPECT_EQ(ThreadLimit(19), 20);
    EXPECT_EQ(ThreadLimit(-1), 1);
    EXPECT_EQ(ThreadLimit(40), 20);
}

TEST(ResultFile, TruncatesOnOpenAndReportsFailedWrites)
{
    TempFolder temp;
    const std::string path = temp.Write("r.txt", "old content");
    ResultFile file;
    ASSERT_TRUE(file.Open(LocalPath(path)));
    EXPECT_TRUE(file.Append("a.com\r\n"));
    // Lines are visible at once, while the file is open.
    EXPECT_EQ(ReadFile(path), "a.com\r\n");
    file.Close();
    EXPECT_FALSE(file.Append("b.com\r\n"));

    EXPECT_FALSE(file.Open(LocalPath(temp / "missing/r.txt")));

    ResultFile full;
    ASSERT_TRUE(full.Open("/dev/full"));
    EXPECT_FALSE(full.Append("a.com\r\n"));
}

TEST(ListFile, ReadsLinesWithoutBreaksAndRefusesFolders)
{
    TempFolder temp;
    const std::string path = temp.Write("list.dat", "one\r\ntwo\n\r\nthree");
    ListFile list;
    ASSERT_TRUE(list.Open(LocalPath(path)));
    std::vector<std::string> lines;
    while (!list.AtEnd())
        lines.push_back(list.ReadLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "three"}));
    EXPECT_EQ(list.ReadLine(), "");
    list.Close();
    EXPECT_TRUE(list.AtEnd());
    EXPECT_EQ(list.ReadLine(), "");

    EXPECT_FALSE(list.Open(LocalPath(temp.Path())));
    EXPECT_TRUE(list.AtEnd());
}

TEST(InitApplication, BindsTheSettingsFileBesideTheProgram)
{
    const std::string folder = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    EXPECT_EQ(ProgramDirectory(), LocalPath(folder));

    const std::string name = LocalText("Vortan·Harvina");
    const std::string file = folder + "/Vortan·Harvina.ini";
    std::filesystem::remove(file);
    EXPECT_TRUE(InitApplication(name));
    EXPECT_EQ(AppName(), name);
    EXPECT_EQ(SettingsPath(), LocalPath(file));
    EXPECT_TRUE(std::filesystem::exists(file));
    std::filesystem::remove(file);
}

} // namespace
} // namespace harvina

namespace harvina {

TEST(SpaceMarkup, EveryAngleBracketGainsItsSpace)
{
    const struct {
        const char* page;
        const char* spaced;
    } cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"<a>b</a>", " <a> b </a> "},
        {"<<>>", " < <> > "},
        {"x<title>Home</title>y", "x <title> Home </title> y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpaceMarkup(c.page), c.spaced) << c.page;
}

} // namespace harvina
