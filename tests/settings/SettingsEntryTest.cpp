// Entries on the settings text: searches, placement and the bytes on disk.
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace harvina::test {
namespace {

// One call on the store and what it must give back. W: WriteEntry(a, b, c) -> result;
// R: ReadEntry(a, b, "DEF") -> value; D: DeleteEntry(a, b); S: RenameSection(a, b);
// K: RenameKey(a, b, c).
struct Step {
    char op;
    std::string a, b, c;
    std::string expected;
};

struct EntryCase {
    const char* name;
    std::string initial;
    std::vector<Step> steps;
    std::string expectedFile;
};

std::string Run(SettingsStore& store, const Step& step)
{
    switch (step.op) {
    case 'W':
        return std::to_string(store.WriteEntry(step.a, step.b, step.c));
    case 'R':
        return store.ReadEntry(step.a, step.b, "DEF");
    case 'D':
        return std::to_string(store.DeleteEntry(step.a, step.b));
    case 'S':
        return std::to_string(store.RenameSection(step.a, step.b));
    case 'K':
        return std::to_string(store.RenameKey(step.a, step.b, step.c));
    }
    return "?";
}

void RunCases(const std::vector<EntryCase>& cases)
{
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::string path = folder.File("x.ini");
        WriteFile(path, c.initial);
        SettingsStore store;
        ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
        for (size_t i = 0; i < c.steps.size(); ++i)
            EXPECT_EQ(Run(store, c.steps[i]), c.steps[i].expected) << "step " << i;
        EXPECT_EQ(store.GetText(), c.expectedFile);
        EXPECT_EQ(ReadFile(path), c.expectedFile);
    }
}

TEST(SettingsEntries, PlacementAndSearch)
{
    const std::string empty;
    RunCases({
        {"keys newest first, sections appended, values replaced in place",
         empty,
         {{'W', "S", "a", "1", "0"},
          {'W', "S", "b", "2", "0"},
          {'W', "S", "a", "33", "0"},
          {'W', "T", "c", "x", "0"},
          {'R', "S", "a", "", "33"},
          {'R', "S", "c", "", "DEF"},
          {'R', "T", "a", "", "DEF"},
          {'R', "U", "a", "", "DEF"}},
         Lines({"[S]", "b=2", "a=33", "[T]", "c=x"})},
        {"a first write leaves exactly two lines", empty, {{'W', "S", "a", "1", "0"}}, Lines({"[S]", "a=1"})},
        {"x[S] on the first line is no header",
         Lines({"x[S]", "k=1"}),
         {{'R', "S", "k", "", "DEF"}, {'W', "S", "a", "1", "0"}},
         Lines({"x[S]", "k=1", "[S]", "a=1"})},
        {"[S] inside a line is no header",
         Lines({"[R]", "v=[S]", "k=1"}),
         {{'R', "S", "k", "", "DEF"}, {'R', "R", "k", "", "1"}},
         Lines({"[R]", "v=[S]", "k=1"})},
        {"a header at byte 2 is no header", Lines({" [S]", "k=1"}), {{'R', "S", "k", "", "DEF"}}, Lines({" [S]", "k=1"})},
        {"the first match that starts a line is the header",
         Lines({"x[S]", "k=1", "[S]", "k=2"}),
         {{'R', "S", "k", "", "2"}},
         Lines({"x[S]", "k=1", "[S]", "k=2"})},
        {"names compare case included",
         Lines({"[S]", "A=1"}),
         {{'R', "S", "a", "", "DEF"}, {'R', "s", "A", "", "DEF"}, {'W', "S", "a", "2", "0"}},
         Lines({"[S]", "a=2", "A=1"})},
        {"a key line above the header is not in the section",
         Lines({"k=1", "[S]", "j=2"}),
         {{'R', "S", "k", "", "DEF"}, {'R', "S", "j", "", "2"}},
         Lines({"k=1", "[S]", "j=2"})},
        {"a key below a later header belongs to that section",
         Lines({"[S]", "a=1", "[T]", "c=x"}),
         {{'R', "S", "c", "", "DEF"}, {'W', "S", "c", "y", "0"}},
         Lines({"[S]", "c=y", "a=1", "[T]", "c=x"})},
        {"a key of the last section on the last line",
         Lines({"[S]", "a=1", "[T]", "c="}),
         {{'R', "T", "c", "", ""}, {'W', "T", "c", "z", "0"}},
         Lines({"[S]", "a=1", "[T]", "c=z"})},
        {"an empty value replaced and emptied",
         Lines({"[S]", "a=", "b=2"}),
         {{'W', "S", "a", "v", "0"}, {'W', "S", "b", "", "0"}, {'R', "S", "b", "", ""}},
         Lines({"[S]", "a=v", "b="})},
        {"a value keeps '=', '[' and ']'",
         empty,
         {{'W', "S", "k", "=[T]=", "0"}, {'R', "S", "k", "", "=[T]="}, {'R', "T", "k", "", "DEF"}},
         Lines({"[S]", "k==[T]="})},
        {"Chinese names", empty, {{'W', L("主界面"), L("编辑框输入"), L("网址"), "0"}},
         Lines({"[主界面]", "编辑框输入=网址"})},
    });
}

TEST(SettingsEntries, LineFeedOnlyFile)
{
    const std::string lf = "[S]\nk=1\n[T]\nj=2";
    RunCases({
        {"only a header at byte 1 is found, no key is",
         lf,
         {{'R', "S", "k", "", "DEF"}, {'R', "T", "j", "", "DEF"}},
         lf},
        // The new key line is ended with CR LF, so its value cannot take the rest.
        {"a new key keeps the rest of the text", lf, {{'W', "S", "k", "9", "0"}, {'R', "S", "k", "", "9"}},
         "[S]\r\nk=9\r\n\nk=1\n[T]\nj=2"},
        {"a section found later is appended", lf, {{'W', "T", "j", "3", "0"}}, lf + "\r\n[T]\r\nj=3"},
    });
}

TEST(SettingsEntries, RejectsWhatWouldBreakTheLines)
{
    const std::string initial = Lines({"[S]", "a=1"});
    RunCases({
        {"CR LF in a value", initial, {{'W', "S", "a", "x\r\n[T]", "-1"}}, initial},
        {"CR LF in a key", initial, {{'W', "S", "b\r\nc", "1", "-1"}}, initial},
        {"CR LF in a section", initial, {{'W', "S]\r\n[T", "b", "1", "-1"}}, initial},
        {"'=' in a key", initial, {{'W', "S", "b=c", "1", "-1"}}, initial},
        {"a lone CR or LF is a value byte", initial, {{'W', "S", "a", "x\ny\r", "0"}, {'R', "S", "a", "", "x\ny\r"}},
         Lines({"[S]", "a=x\ny\r"})},
    });
}

TEST(SettingsEntries, DeleteAndRename)
{
    const std::string rst = Lines({"[R]", "q=1", "[S]", "b=2", "[T]", "c=x"});
    RunCases({
        {"a middle section", rst, {{'D', "S", "", "", "0"}}, Lines({"[R]", "q=1", "[T]", "c=x"})},
        {"the first section", rst, {{'D', "R", "", "", "0"}}, Lines({"[S]", "b=2", "[T]", "c=x"})},
        {"the last section leaves a final CR LF",
         rst,
         {{'D', "S", "", "", "0"}, {'D', "T", "", "", "0"}},
         Lines({"[R]", "q=1", ""})},
        {"a section above a bare header on the last line",
         Lines({"[R]", "q=1", "[S]"}),
         {{'D', "R", "", "", "0"}, {'R', "S", "q", "", "DEF"}},
         Lines({"[S]"})},
        {"a missing section", rst, {{'D', "X", "", "", "1"}, {'D', "X", "q", "", "1"}}, rst},
        {"a key", rst, {{'D', "S", "b", "", "0"}}, Lines({"[R]", "q=1", "[S]", "[T]", "c=x"})},
        {"the last key of the text", rst, {{'D', "T", "c", "", "0"}}, Lines({"[R]", "q=1", "[S]", "b=2", "[T]"})},
        {"a key only in a later section, also on the last line",
         rst,
         {{'D', "S", "c", "", "2"}, {'D', "R", "b", "", "2"}, {'D', "S", "zz", "", "2"}},
         rst},
        {"rename a section", rst, {{'S', "S", L("新节"), "", "0"}, {'R', L("新节"), "b", "", "2"}},
         Lines({"[R]", "q=1", "[新节]", "b=2", "[T]", "c=x"})},
        {"rename a missing section", rst, {{'S', "X", "Y", "", "1"}}, rst},
        {"rename a key", rst, {{'K', "S", "b", "bee", "0"}, {'R', "S", "bee", "", "2"}},
         Lines({"[R]", "q=1", "[S]", "bee=2", "[T]", "c=x"})},
        {"rename a key of a later section or a missing section",
         rst,
         {{'K', "S", "c", "d", "2"}, {'K', "X", "c", "d", "1"}},
         rst},
    });
}

TEST(SettingsEntries, FindHeaderBetween)
{
    SettingsStore store;
    store.PutText(Lines({"[R]", "q=1", "[S]", "b=2", "[T]", "c=x"}));
    // "[S]" starts at 11 and "[T]" at 21; a header counts only with CR LF after it.
    EXPECT_EQ(store.FindHeaderBetween(1, 100), 11);
    EXPECT_EQ(store.FindHeaderBetween(12, 100), 21);
    EXPECT_EQ(store.FindHeaderBetween(1, 11), -1);
    EXPECT_EQ(store.FindHeaderBetween(22, 100), -1);
    store.PutText(Lines({"[R]", "q=1", "[S]"}));
    EXPECT_EQ(store.FindHeaderBetween(1, 100), -1);
    store.PutText(Lines({"[R]", "[x", "y]", "[S]", ""}));
    EXPECT_EQ(store.FindHeaderBetween(1, 100), 14) << "a bracket pair across lines is no header";
}

} // namespace
} // namespace harvina::test
