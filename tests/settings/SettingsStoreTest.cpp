// Binding, the raw text, lists, the queue and what a failed write leaves behind.
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsTestSupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace harvina::test {
namespace {

const std::string& Sample()
{
    static const std::string kText = Lines({"[R]", "q=1", "c=7", "[S]", "b=2", "[T]", "c=x", "d=1"});
    return kText;
}

TEST(SettingsBinding, DiskModeCreatesAMissingFileAndKeepsItUpToDate)
{
    TempFolder folder;
    std::string path = folder.File("x.ini");
    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    EXPECT_TRUE(Exists(path));
    EXPECT_TRUE(store.HasBackingFile());
    EXPECT_EQ(store.loadedPath(), path);
    ASSERT_EQ(store.WriteEntry("S", "a", "1"), 0);
    EXPECT_EQ(ReadFile(path), "[S]\r\na=1");
    store.Close();
    EXPECT_EQ(store.GetText(), "");
    EXPECT_FALSE(store.HasBackingFile());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"x.ini"}) << "no temporary is left behind";
}

TEST(SettingsBinding, MemoryModeNeverTouchesTheDisk)
{
    TempFolder folder;
    std::string path = folder.File("x.ini");
    WriteFile(path, Sample());
    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Memory));
    EXPECT_EQ(store.GetText(), Sample());
    EXPECT_EQ(store.WriteEntry("S", "b", "3"), 0);
    EXPECT_EQ(store.DeleteEntry("R", ""), 0);
    EXPECT_EQ(store.RenameKey("T", "c", "e"), 0);
    EXPECT_TRUE(store.PutText("\r\n[U]", true));
    EXPECT_EQ(ReadFile(path), Sample());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"x.ini"});
    std::vector<std::string> names;
    EXPECT_EQ(store.ListSections(names), 3) << "the lists read the in-memory file";

    // SaveTo is the one way to the disk; Reload reads it back.
    std::string changed = store.GetText();
    EXPECT_TRUE(store.SaveTo());
    EXPECT_EQ(ReadFile(path), changed);
    EXPECT_TRUE(store.PutText("junk"));
    EXPECT_TRUE(store.Reload());
    EXPECT_EQ(store.GetText(), changed);

    SettingsStore missing;
    EXPECT_TRUE(missing.OpenFile(folder.File("none.ini"), StorageMode::Memory));
    EXPECT_EQ(missing.GetText(), "");
    EXPECT_FALSE(Exists(folder.File("none.ini")));
}

TEST(SettingsBinding, PutTextSaveToAndReload)
{
    TempFolder folder;
    std::string path = folder.File("x.ini");
    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    EXPECT_TRUE(store.PutText("[A]\r\nk=1"));
    EXPECT_TRUE(store.PutText("\r\n[B]", true));
    EXPECT_EQ(ReadFile(path), "[A]\r\nk=1\r\n[B]");
    EXPECT_TRUE(store.PutText("[C]"));
    EXPECT_EQ(ReadFile(path), "[C]");

    // Saving onto its own file goes through the held file, keeping it held.
    EXPECT_TRUE(store.SaveTo(path));
    EXPECT_TRUE(store.SaveTo(folder.File("copy.ini")));
    EXPECT_EQ(ReadFile(folder.File("copy.ini")), "[C]");
    EXPECT_EQ(store.WriteEntry("C", "k", "v"), 0);
    EXPECT_EQ(ReadFile(path), "[C]\r\nk=v");
    SettingsStore other;
    EXPECT_FALSE(other.OpenFile(path, StorageMode::Disk));
    EXPECT_FALSE(other.SaveTo(path)) << "a held file is not replaced by another store";
    EXPECT_EQ(ReadFile(path), "[C]\r\nk=v");

    EXPECT_TRUE(store.Reload());
    EXPECT_EQ(store.GetText(), "[C]\r\nk=v");
    SettingsStore unbound;
    EXPECT_FALSE(unbound.Reload());
    EXPECT_FALSE(unbound.SaveTo());
}

TEST(SettingsBinding, CopiesShareTheBackingFile)
{
    TempFolder folder;
    std::string path = folder.File("x.ini");
    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    SettingsStore copy = store;
    store.Close();
    EXPECT_TRUE(copy.HasBackingFile());
    EXPECT_EQ(copy.WriteEntry("S", "k", "v"), 0);
    EXPECT_EQ(ReadFile(path), "[S]\r\nk=v");
    SettingsStore other;
    EXPECT_FALSE(other.OpenFile(path, StorageMode::Disk)) << "the copy still holds the file";
}

TEST(SettingsLists, SectionsAndKeys)
{
    SettingsStore store;
    store.PutText(Sample() + Lines({"", "[U]x", "[W]", "=lone", "noequals"}));
    std::vector<std::string> names{"stale"};
    using Names = std::vector<std::string>;

    EXPECT_EQ(store.ListSections(names), 4);
    EXPECT_EQ(names, (Names{"R", "S", "T", "W"}));
    EXPECT_EQ(store.ListSections(names, "S"), 1);
    EXPECT_EQ(names, (Names{"S"}));
    EXPECT_EQ(store.ListSections(names, "", "T"), 3);
    EXPECT_EQ(names, (Names{"R", "S", "W"}));

    EXPECT_EQ(store.ListKeys(names), 6);
    EXPECT_EQ(names, (Names{"q", "c", "b", "c", "d", ""}));
    EXPECT_EQ(store.ListKeys(names, "c"), 2);
    EXPECT_EQ(store.ListKeys(names, "", "c"), 4);
    EXPECT_EQ(store.ListKeys(names, "", "", "T"), 2);
    EXPECT_EQ(names, (Names{"c", "d"})) << "only the keys of the filtered section";
    EXPECT_EQ(store.ListKeys(names, "", "", "T", "", "T"), 0);

    EXPECT_EQ(store.ListSectionsWithKey("c", names), 2);
    EXPECT_EQ(names, (Names{"R", "T"}));
    EXPECT_EQ(store.ListSectionsWithKey("zz", names), 0);

    EXPECT_EQ(store.ListKeysWithValue("1", names), 2);
    EXPECT_EQ(names, (Names{"q", "d"}));
    EXPECT_EQ(store.ListKeysWithValue("1", names, "T"), 1);
    EXPECT_EQ(names, (Names{"d"}));
    EXPECT_EQ(store.ListKeysWithValue("x", names, "S"), 0);
}

TEST(SettingsLists, KeyInOneSectionTwiceCountsOnce)
{
    SettingsStore store;
    store.PutText(Lines({"[S]", "k=1", "k=2", "[T]", "j=1", "k=3"}));
    std::vector<std::string> names;
    EXPECT_EQ(store.ListSectionsWithKey("k", names), 2);
    EXPECT_EQ(names, (std::vector<std::string>{"S", "T"}));
}

// A write started from an event while another operation is carried out waits
// for it, and the waiting writes run in arrival order.
TEST(SettingsQueue, WritesFromEventsWaitTheirTurn)
{
    TempFolder folder;
    std::string path = folder.File("x.ini");
    RecordingHost host;
    SettingsStore store;
    store.SetHost(&host);
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    store.SetSection("S");

    std::vector<bool> nested;
    std::string seenDuringWrite;
    host.onEvents = [&] {
        host.onEvents = nullptr; // once
        EXPECT_TRUE(store.busy());
        seenDuringWrite = store.ReadText("first", "<none>");
        nested.push_back(store.WriteText("second", "2"));
        nested.push_back(store.WriteText("third", "3"));
        EXPECT_EQ(store.DeleteEntry("S", "second"), 3);
        EXPECT_EQ(store.RunPending(), 3) << "the running call carries out the queue";
    };
    EXPECT_TRUE(store.WriteText("first", "1"));
    EXPECT_EQ(nested, (std::vector<bool>{false, false}));
    EXPECT_EQ(seenDuringWrite, "<none>") << "a read in an event sees the text as it is";
    EXPECT_FALSE(store.busy());
    EXPECT_EQ(store.RunPending(), -1);
    EXPECT_EQ(ReadFile(path), Lines({"[S]", "third=3", "first=1"}));
}

TEST(SettingsQueue, RunawayHeaderReportsAndGivesUp)
{
    RecordingHost host;
    SettingsStore store;
    store.SetHost(&host);
    // An event that empties the text each time makes every appended header vanish.
    host.onEvents = [&] { store.PutText("x"); };
    EXPECT_EQ(store.WriteEntry("S", "k", "v"), -1);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text, L("配置模块出现意外，可能导致无法正常保存！详情请咨询Vortan。"));
    EXPECT_EQ(host.messages[0].title, L("Vortan："));
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(host.messages[0].systemModal);
    EXPECT_EQ(host.messages[1].title, L("信息："));
    EXPECT_EQ(host.messages[1].icon, MessageIcon::None);
    EXPECT_FALSE(host.messages[1].systemModal);
    EXPECT_EQ(host.messages[1].text, "x\r\n[S]") << "the whole text at that moment";
    EXPECT_EQ(host.pumps, 11);
}

// Caps the size of files this process may write, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(SettingsFailure, FailedWriteLeavesFileAndTextAsTheyWere)
{
    TempFolder folder;
    std::string path = folder.File("x.ini");
    WriteFile(path, Sample());
    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    store.SetSection("S");
    {
        FileSizeLimit limit(Sample().size() + 2);
        EXPECT_EQ(store.WriteEntry("S", "b", std::string(100, 'v')), -1);
        EXPECT_EQ(store.WriteEntry("S", "new", "1"), -1);
        EXPECT_EQ(store.WriteEntry("NEW", "k", "1"), -1);
        EXPECT_FALSE(store.WriteText("b", "long value"));
        EXPECT_FALSE(store.PutText("more", true));
        EXPECT_EQ(store.RenameSection("S", "LONGER"), -1);
        EXPECT_FALSE(store.WriteBinary("K", std::string(100, 'b')));
        EXPECT_EQ(store.GetText(), Sample());
        EXPECT_EQ(ReadFile(path), Sample());
        EXPECT_EQ(store.ReadText("b"), "2");
        EXPECT_EQ(store.WriteEntry("S", "b", "9"), 0) << "a change that fits still works";
        EXPECT_EQ(store.DeleteEntry("T", "d"), 0);
    }
    EXPECT_EQ(ReadFile(path), store.GetText());
    EXPECT_EQ(store.WriteEntry("S", "b", std::string(100, 'v')), 0);
    EXPECT_EQ(ReadFile(path), store.GetText());
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"inibin", "x.ini"})) << "no temporary is left behind";
}

TEST(SettingsFailure, WithoutABackingFileTheTextAloneChanges)
{
    TempFolder folder;
    std::string path = folder.File("missing-folder/x.ini");
    SettingsStore store;
    EXPECT_FALSE(store.OpenFile(path, StorageMode::Disk));
    EXPECT_FALSE(store.HasBackingFile());
    store.SetSection("S");
    EXPECT_TRUE(store.WriteText("k", "v"));
    EXPECT_EQ(store.ReadText("k"), "v");
    EXPECT_FALSE(Exists(path));
}

} // namespace
} // namespace harvina::test
