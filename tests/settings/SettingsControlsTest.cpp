// Saving and restoring a window's controls, against a small fake window.
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsTestSupport.h"

#include "platform/Charset.h"

#include <gtest/gtest.h>
#include <memory>

namespace harvina::test {
namespace {

class FakeControl : public PersistableControl {
public:
    FakeControl(std::string utf8Name, ControlKind kind) : name(L(utf8Name)), kind(kind) {}

    std::string Name() const override { return name; }
    ControlKind Kind() const override { return kind; }
    std::string Tag() const override { return tag; }
    void SetTag(const std::string& value) override { tag = value; }
    std::string Text() const override { return text; }
    void SetText(const std::string& value) override { text = value; }
    bool Checked() const override { return checked; }
    void SetChecked(bool value) override { checked = value; }
    int CurrentIndex() const override { return index; }
    void SetCurrentIndex(int value) override { index = value; }
    std::vector<std::string> Items() const override { return items; }
    void SetItems(const std::vector<std::string>& value) override
    {
        if (value == items)
            return; // like a toolkit, an unchanged list keeps its marks
        items = value;
        marks.assign(items.size(), false);
    }
    int ItemCount() const override { return static_cast<int>(items.size()); }
    bool ItemSelected(int i) const override { return InRange(i) && marks[i]; }
    void SetItemSelected(int i, bool value) override { Mark(i, value); }
    bool ItemChecked(int i) const override { return InRange(i) && marks[i]; }
    void SetItemChecked(int i, bool value) override { Mark(i, value); }
    int Color() const override { return color; }
    void SetColor(int value) override { color = value; }

    bool InRange(int i) const { return i >= 0 && static_cast<size_t>(i) < marks.size(); }
    void Mark(int i, bool value)
    {
        if (InRange(i))
            marks[i] = value;
    }

    std::string name;
    ControlKind kind;
    std::string tag, text;
    bool checked = false;
    int index = -1;
    std::vector<std::string> items;
    std::vector<bool> marks; // selection or check marks, one per item
    int color = 0;
};

class FakeWindow : public PersistableWindow {
public:
    FakeControl& Add(std::string utf8Name, ControlKind kind)
    {
        controls.push_back(std::make_unique<FakeControl>(std::move(utf8Name), kind));
        return *controls.back();
    }
    std::vector<PersistableControl*> Controls() override
    {
        std::vector<PersistableControl*> out;
        for (auto& c : controls)
            out.push_back(c.get());
        return out;
    }
    WindowPlacement Placement() const override { return placement; }
    void SetDisplayState(int state) override { placement.displayState = state; }
    void MoveTo(int left, int top, int width, int height) override
    {
        placement.left = left;
        placement.top = top;
        placement.width = width;
        placement.height = height;
    }

    std::vector<std::unique_ptr<FakeControl>> controls;
    WindowPlacement placement;
};

// The main window's stored controls, with their form defaults.
struct MainWindow : FakeWindow {
    MainWindow()
        : input(Add("编辑框输入", ControlKind::EditBox)), suffix(Add("编辑框后缀", ControlKind::EditBox)),
          text(Add("选择框文本", ControlKind::CheckBox)), threads(Add("组合框线程", ControlKind::ComboBox)),
          start(Add("按钮开始", ControlKind::Button)), label(Add("标签说明", ControlKind::Other))
    {
        suffix.text = L(".com|.cn");
        text.checked = true;
    }
    FakeControl &input, &suffix, &text, &threads, &start, &label;
};

class ControlPersistence : public ::testing::Test {
protected:
    void SetUp() override { path = folder.File("x.ini"); }
    void Save(FakeWindow& window, const char* section)
    {
        SettingsStore store;
        ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
        store.PersistWindowControls(window, false, L(section));
    }
    void Restore(FakeWindow& window, const char* section)
    {
        SettingsStore store;
        ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
        store.PersistWindowControls(window, true, L(section));
    }

    TempFolder folder;
    std::string path;
};

TEST_F(ControlPersistence, MainWindowRoundTrip)
{
    MainWindow closing;
    closing.input.text = "u1\r\nu2\r\nu3";
    closing.suffix.text = "";
    closing.text.checked = false;
    closing.threads.index = 5;
    Save(closing, "主界面");
    EXPECT_EQ(ReadFile(path), Lines({"[主界面]", "按钮开始.标记=", "组合框线程=5", "选择框文本=假", "编辑框后缀=",
                                     "编辑框输入=u1┊*┊u2┊*┊u3"}));

    MainWindow starting;
    Restore(starting, "主界面");
    EXPECT_EQ(starting.input.text, "u1\r\nu2\r\nu3");
    EXPECT_EQ(starting.suffix.text, "") << "an empty stored edit box overrides the form default";
    EXPECT_FALSE(starting.text.checked);
    EXPECT_EQ(starting.threads.index, 5);
}

TEST_F(ControlPersistence, FirstStartKeepsFormDefaults)
{
    MainWindow window;
    Restore(window, "主界面");
    EXPECT_EQ(window.suffix.text, L(".com|.cn"));
    EXPECT_TRUE(window.text.checked);
    EXPECT_EQ(window.threads.index, -1);
    EXPECT_EQ(ReadFile(path), "") << "restoring writes nothing";
}

TEST_F(ControlPersistence, TagsNamesAndKindsDecideWhatIsStored)
{
    FakeWindow window;
    FakeControl& excluded = window.Add("编辑框秘密", ControlKind::EditBox);
    excluded.tag = L("禁止保存");
    excluded.text = "secret";
    FakeControl& bytes = window.Add("编辑框大块", ControlKind::EditBox);
    bytes.tag = L("字节集方式");
    bytes.text = std::string("a\r\n\0b", 5);
    FakeControl& byteTag = window.Add("按钮记", ControlKind::Button);
    byteTag.tag = L("字节集方式");
    window.Add("标签标题", ControlKind::Other).text = "label";
    window.Add("", ControlKind::EditBox).text = "nameless";
    window.Add("编辑框假", ControlKind::CheckBox).checked = true; // name and kind disagree
    window.Add("编辑框跳过", ControlKind::EditBox).text = "skipped";
    FakeControl& kept = window.Add("编辑框保留", ControlKind::EditBox);
    kept.text = "kept";

    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    store.PersistWindowControls(window, false, L("主界面"), nullptr, {L("编辑框跳过")});
    EXPECT_EQ(ReadFile(path), Lines({"[主界面]", "编辑框保留=kept"}));
    EXPECT_EQ(ReadFile(folder.File(Utf8Text(L("inibin/主界面-编辑框大块.ibn")))), bytes.text);
    EXPECT_EQ(ReadFile(folder.File(Utf8Text(L("inibin/主界面-按钮记.标记.ibn")))), L("字节集方式"));

    excluded.text = "form default";
    bytes.text = "";
    store.PersistWindowControls(window, true, L("主界面"));
    EXPECT_EQ(excluded.text, "form default");
    EXPECT_EQ(bytes.text, std::string("a\r\n\0b", 5));
}

TEST_F(ControlPersistence, SameControlNameInTwoSections)
{
    FakeWindow main, generator;
    main.Add("按钮生成", ControlKind::Button).tag = "main";
    generator.Add("按钮生成", ControlKind::Button).tag = L("关键词\r\n列表");
    Save(main, "主界面");
    Save(generator, "生成搜索网址");
    EXPECT_EQ(ReadFile(path), Lines({"[主界面]", "按钮生成.标记=main", "[生成搜索网址]", "按钮生成.标记=关键词┊*┊列表"}));
    main.controls[0]->tag.clear();
    generator.controls[0]->tag.clear();
    Restore(main, "主界面");
    Restore(generator, "生成搜索网址");
    EXPECT_EQ(main.controls[0]->tag, "main");
    EXPECT_EQ(generator.controls[0]->tag, L("关键词\r\n列表"));
}

TEST_F(ControlPersistence, ListsComboOptionsColourAndRadio)
{
    auto fill = [](FakeWindow& w) {
        FakeControl& list = w.Add("列表框站点", ControlKind::ListBox);
        FakeControl& checks = w.Add("选择列表框引擎", ControlKind::CheckListBox);
        FakeControl& combo = w.Add("组合框模式", ControlKind::ComboBox);
        w.Add("颜色选择器背景", ControlKind::ColorPicker);
        w.Add("单选框甲", ControlKind::RadioButton);
        return std::tie(list, checks, combo);
    };
    FakeWindow saved;
    auto [list, checks, combo] = fill(saved);
    list.SetItems({L("甲"), "", "c,d"});
    list.marks = {true, false, true};
    checks.SetItems({"x", "y"});
    checks.marks = {false, true};
    checks.index = 1;
    combo.SetItems({"one", "two"});
    combo.index = 1;
    combo.text = "typed\r\ntext";
    saved.controls[3]->color = 0x00FF8040;
    saved.controls[4]->checked = true;
    {
        SettingsStore store;
        ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
        store.PersistWindowControls(saved, false, "W", nullptr, {}, true, true);
    }
    EXPECT_EQ(ReadFile(path), Lines({"[W]", "单选框甲=真", "颜色选择器背景=16744512", "组合框模式.内容=typed┊*┊text",
                                     "组合框模式=1", "选择列表框引擎.打勾=1", "选择列表框引擎.选中=1",
                                     "列表框站点.选中=0,2"}));

    FakeWindow restored;
    auto [list2, checks2, combo2] = fill(restored);
    {
        SettingsStore store;
        ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
        store.PersistWindowControls(restored, true, "W", nullptr, {}, true, true);
    }
    EXPECT_EQ(list2.items, list.items);
    EXPECT_EQ(list2.marks, list.marks);
    EXPECT_EQ(checks2.items, checks.items);
    EXPECT_EQ(checks2.marks, checks.marks);
    EXPECT_EQ(checks2.index, 1);
    EXPECT_EQ(combo2.items, combo.items);
    EXPECT_EQ(combo2.index, 1);
    EXPECT_EQ(combo2.text, combo.text);
    EXPECT_EQ(restored.controls[3]->color, 0x00FF8040);
    EXPECT_TRUE(restored.controls[4]->checked);
}

TEST_F(ControlPersistence, IndexListsOnlyAddAndForgiveJunk)
{
    FakeWindow window;
    FakeControl& list = window.Add("列表框站点", ControlKind::ListBox);
    list.SetItems({"a", "b", "c"});
    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    store.SetSection("W");
    store.SaveListBox(list);
    ASSERT_TRUE(store.WriteText(L("列表框站点.选中"), "2,x,99,-1"));
    list.marks = {false, true, false};
    store.RestoreListBox(list);
    // Nothing is deselected; junk selects item 0; out of range is ignored.
    EXPECT_EQ(list.marks, (std::vector<bool>{true, true, true}));
}

TEST_F(ControlPersistence, WindowPlacementAndMenuCheck)
{
    FakeWindow window;
    window.placement = {kDisplayNormal, 10, 20, 300, 400};
    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    store.SaveWindowPlacement(window);
    EXPECT_EQ(store.section(), L("主界面.尺寸"));
    window.placement = {kDisplayMaximised, 0, 0, 1, 1};
    store.SaveWindowPlacement(window, "G");
    EXPECT_EQ(store.GetText(), Lines({"[主界面.尺寸]", "高度=400", "宽度=300", "顶边=20", "左边=10", "位置=1",
                                      "[G.尺寸]", "位置=3"}));
    window.placement = {kDisplayNormal, 0, 0, 1, 1};
    store.RestoreWindowPlacement(window);
    EXPECT_EQ(window.placement.left, 10);
    EXPECT_EQ(window.placement.height, 400);
    store.RestoreWindowPlacement(window, "G");
    EXPECT_EQ(window.placement.displayState, kDisplayMaximised);

    FakeControl item("unused", ControlKind::MenuItem);
    item.text = L("自动保存");
    item.checked = true;
    store.SetSection("M");
    store.SaveMenuCheck(item);
    item.checked = false;
    store.RestoreMenuCheck(item);
    EXPECT_TRUE(item.checked);
    EXPECT_EQ(store.ReadEntry("M", L("自动保存")), L("真"));
}

// The walk pumps events before each control; a save started from such an event
// waits for the write under way and still lands in the file.
TEST_F(ControlPersistence, EventsDuringTheWalk)
{
    MainWindow window;
    RecordingHost host;
    SettingsStore store;
    store.SetHost(&host);
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    int queued = 0;
    host.onEvents = [&] {
        if (store.busy() && queued++ == 0) {
            EXPECT_FALSE(store.WriteText("late", "1"));
        }
    };
    store.PersistWindowControls(window, false, L("主界面"));
    EXPECT_GT(queued, 0);
    EXPECT_EQ(store.ReadText("late"), "1");
    EXPECT_EQ(ReadFile(path), store.GetText());
}

} // namespace
} // namespace harvina::test
