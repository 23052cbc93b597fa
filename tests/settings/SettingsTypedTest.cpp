// Typed values on the current section, side files, and the per-user value store.
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsTestSupport.h"

#include "platform/Charset.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace harvina::test {
namespace {

class TypedValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = folder.File("x.ini");
        ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
        store.SetSection("S");
    }
    std::string Value(const std::string& key) { return store.ReadEntry("S", key, "<none>"); }

    TempFolder folder;
    std::string path;
    SettingsStore store;
};

TEST_F(TypedValues, TextEscapesCrLfOnly)
{
    EXPECT_TRUE(store.WriteText("k", "a\r\nb"));
    EXPECT_EQ(Value("k"), L("a┊*┊b"));
    EXPECT_EQ(store.ReadText("k"), "a\r\nb");
    EXPECT_TRUE(store.WriteText("lf", "a\nb\rc"));
    EXPECT_EQ(Value("lf"), "a\nb\rc");
    EXPECT_EQ(store.ReadText("missing", "x\r\ny"), "x\r\ny") << "the default goes through the same decoding";
    EXPECT_TRUE(store.WriteText("empty", ""));
    EXPECT_EQ(store.ReadText("empty", "default"), "") << "an empty stored value is not the default";
    EXPECT_EQ(ReadFile(path), store.GetText());
    EXPECT_EQ(store.GetText(), Lines({"[S]", "empty=", "lf=a\nb\rc", "k=a┊*┊b"}));
}

TEST_F(TypedValues, NumbersWrittenLikePercent13g)
{
    struct Row {
        double value;
        const char* stored;
    };
    const Row rows[] = {{5, "5"},           {0.5, "0.5"},        {-1, "-1"},      {1.0 / 3, "0.3333333333333"},
                        {1e20, "1e+20"},    {123456789012345.0, "1.234567890123e+14"}, {0, "0"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        EXPECT_TRUE(store.WriteNumber("n", row.value));
        EXPECT_EQ(Value("n"), row.stored);
        EXPECT_DOUBLE_EQ(store.ReadNumber("n"), std::atof(row.stored));
    }
    struct ReadRow {
        const char* stored;
        double value;
    };
    const ReadRow reads[] = {{"12abc", 12}, {"  -2.5e1x", -25}, {"abc", 0}, {"", 0}, {"+7", 7}, {".5", 0.5}};
    for (const ReadRow& row : reads) {
        SCOPED_TRACE(row.stored);
        ASSERT_EQ(store.WriteEntry("S", "n", row.stored), 0);
        EXPECT_DOUBLE_EQ(store.ReadNumber("n", 99), row.value);
    }
    EXPECT_DOUBLE_EQ(store.ReadNumber("missing", 6), 6);
}

TEST_F(TypedValues, Booleans)
{
    EXPECT_TRUE(store.WriteBool("t", true));
    EXPECT_TRUE(store.WriteBool("f", false));
    EXPECT_EQ(Value("t"), L("真"));
    EXPECT_EQ(Value("f"), L("假"));
    ASSERT_EQ(store.WriteEntry("S", "one", "1"), 0);
    EXPECT_FALSE(store.ReadBool("one", true));
    EXPECT_TRUE(store.ReadBoolNotFalse("one", false));
    EXPECT_FALSE(store.ReadBoolNotFalse("f", true));
    EXPECT_TRUE(store.ReadBool("missing", true));
    EXPECT_FALSE(store.ReadBoolNotFalse("missing", false));
}

TEST_F(TypedValues, DateTimes)
{
    struct Row {
        SettingsDateTime value;
        const char* stored;
    };
    const Row rows[] = {
        {{2024, 3, 5, 0, 0, 0}, "2024年3月5日"},
        {{2024, 3, 5, 8, 0, 0}, "2024年3月5日8时"},
        {{2024, 3, 5, 8, 30, 0}, "2024年3月5日8时30分"},
        {{2024, 3, 5, 8, 30, 15}, "2024年3月5日8时30分15秒"},
        {{2024, 12, 31, 0, 0, 7}, "2024年12月31日0时0分7秒"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        EXPECT_TRUE(store.WriteTime("t", row.value));
        EXPECT_EQ(Value("t"), L(row.stored));
        EXPECT_EQ(store.ReadTime("t"), row.value);
    }
    SettingsDateTime fallback{2001, 2, 3, 4, 5, 6};
    EXPECT_EQ(store.ReadTime("missing", fallback), fallback);
    ASSERT_EQ(store.WriteEntry("S", "t", "yesterday"), 0);
    EXPECT_EQ(store.ReadTime("t", fallback), fallback);
}

TEST_F(TypedValues, SideFilesBesideTheSettingsFile)
{
    std::string side = folder.File(Utf8Text(L("inibin/S-键.ibn")));
    EXPECT_TRUE(store.WriteBinary(L("键"), std::string("\0\x01\xff", 3)));
    EXPECT_EQ(ReadFile(side), std::string("\0\x01\xff", 3));
    EXPECT_EQ(store.ReadBinary(L("键"), "d"), std::string("\0\x01\xff", 3));
    EXPECT_TRUE(store.WriteBinary(L("键"), ""));
    EXPECT_TRUE(Exists(side));
    EXPECT_EQ(store.ReadBinary(L("键"), "d"), "d") << "an empty side file reads as the default";
    EXPECT_EQ(store.ReadBinary("missing", "d"), "d");
    EXPECT_EQ(store.GetText(), "") << "byte values leave no line";
    // A key or section that would leave the folder is refused.
    EXPECT_FALSE(store.WriteBinary("../../escape", "x"));
    EXPECT_EQ(store.ReadBinary("../../escape", "d"), "d");
}

TEST(SettingsTyped, SetSectionDerivesTheRegistryPrefix)
{
    SettingsStore store;
    store.OpenFile("/d/app/x.ini", StorageMode::Registry);
    EXPECT_EQ(store.SetSection("S"), L("Vortan软件\\x\\S\\"));
    EXPECT_EQ(store.section(), "S");
    EXPECT_EQ(store.GetPath(), "/d/app/x.ini");
}

TEST(SettingsTyped, BareFileNameKeepsSideFilesInTheWorkingFolder)
{
    TempFolder folder;
    std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    {
        SettingsStore store;
        ASSERT_TRUE(store.OpenFile("x.ini", StorageMode::Disk));
        store.SetSection("S");
        EXPECT_TRUE(store.WriteBinary("K", "v"));
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(ReadFile(folder.File("inibin/S-K.ibn")), "v");
}

TEST(SettingsTyped, RegistryModeUsesThePerUserStore)
{
    TempFolder folder;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
    {
        SettingsStore store;
        EXPECT_TRUE(store.OpenFile(folder.File("x.ini"), StorageMode::Registry));
        store.SetSection(L("主界面"));
        EXPECT_EQ(store.ReadText("k", "d"), "d");
        EXPECT_TRUE(store.WriteText("k", "a\r\nb"));
        EXPECT_TRUE(store.WriteNumber("n", 0.5));
        EXPECT_TRUE(store.WriteBool("../b", true));
        EXPECT_EQ(store.ReadText("k", "d"), "a\r\nb");
        EXPECT_DOUBLE_EQ(store.ReadNumber("n", 1), 0.5);
        EXPECT_TRUE(store.ReadBool("../b", false));
        EXPECT_FALSE(Exists(folder.File("x.ini"))) << "nothing is loaded or held";
    }
    EXPECT_EQ(ReadFile(folder.File(Utf8Text(L("Vortan软件/x/主界面/k")))), L("a┊*┊b"));
    EXPECT_TRUE(Exists(folder.File(Utf8Text(L("Vortan软件/x/主界面/..%2Fb")))));
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace harvina::test
