// A long seeded run of random changes against a plain model of sections and keys.
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

namespace harvina::test {
namespace {

using Model = std::map<std::string, std::map<std::string, std::string>>; // section -> key -> stored text

class RandomChanges {
public:
    explicit RandomChanges(unsigned seed) : rng_(seed)
    {
        for (const char* s : {"主界面", "生成搜索网址", "S", "节一", "A b", "s"})
            sections_.push_back(L(s));
        for (const char* k : {"编辑框输入", "k", "K", "键2", "选择框百度", "a.b", "x y", "k2"})
            keys_.push_back(L(k));
        for (const char* piece : {"a", "Z", "中", "文", "\r\n", "[", "]", "=", "\r", "\n", " ", "1", "[S]", "k="})
            pieces_.push_back(L(piece));
    }

    const std::string& Section() { return Pick(sections_); }
    const std::string& Key() { return Pick(keys_); }
    std::string Value()
    {
        std::string out;
        for (int n = Below(12); n > 0; --n)
            out += Pick(pieces_);
        return out;
    }
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    // A name not yet used in `taken`, from the pool with a suffix.
    template <class Map>
    std::string Unused(const Map& taken, const std::vector<std::string>& pool)
    {
        for (;;) {
            std::string name = Pick(pool) + std::to_string(Below(50));
            if (!taken.count(name))
                return name;
        }
    }
    const std::vector<std::string>& sections() const { return sections_; }
    const std::vector<std::string>& keys() const { return keys_; }

private:
    const std::string& Pick(const std::vector<std::string>& from)
    {
        return from[static_cast<size_t>(Below(static_cast<int>(from.size())))];
    }

    std::mt19937 rng_;
    std::vector<std::string> sections_, keys_, pieces_;
};

std::string Escaped(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value.compare(i, 2, "\r\n") == 0) {
            out += L("┊*┊");
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

void ExpectStoreHolds(SettingsStore& store, const Model& model)
{
    std::vector<std::string> names;
    store.ListSections(names);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size()) << "a section twice";
    std::set<std::string> expected;
    for (const auto& [section, keys] : model) {
        expected.insert(section);
        store.ListKeys(names, "", "", section);
        std::set<std::string> listed(names.begin(), names.end());
        std::set<std::string> modelKeys;
        for (const auto& [key, value] : keys) {
            modelKeys.insert(key);
            EXPECT_EQ(store.ReadEntry(section, key, "<none>"), value);
        }
        EXPECT_EQ(listed, modelKeys);
    }
    store.ListSections(names);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
}

TEST(SettingsModel, RandomChangesKeepDiskAndMemoryEqual)
{
    TempFolder folder;
    std::string path = folder.File("x.ini");
    SettingsStore store;
    ASSERT_TRUE(store.OpenFile(path, StorageMode::Disk));
    RandomChanges random(20240617);
    Model model;
    constexpr int kSteps = 4000;

    for (int step = 0; step < kSteps; ++step) {
        SCOPED_TRACE(step);
        std::string section = random.Section();
        std::string key = random.Key();
        bool hasSection = model.count(section) > 0;
        bool hasKey = hasSection && model[section].count(key) > 0;
        switch (random.Below(10)) {
        case 0: case 1: case 2: case 3: {
            std::string value = random.Value();
            store.SetSection(section);
            ASSERT_TRUE(store.WriteText(key, value));
            model[section][key] = Escaped(value);
            ASSERT_EQ(store.ReadText(key, "<none>"), value);
            break;
        }
        case 4: {
            double number = random.Below(2000) / 8.0 - 100;
            store.SetSection(section);
            ASSERT_TRUE(random.Below(2) ? store.WriteNumber(key, number) : store.WriteBool(key, number > 0));
            model[section][key] = store.ReadEntry(section, key);
            break;
        }
        case 5: case 6:
            ASSERT_EQ(store.DeleteEntry(section, key), !hasSection ? 1 : hasKey ? 0 : 2);
            if (hasKey)
                model[section].erase(key);
            break;
        case 7:
            ASSERT_EQ(store.DeleteEntry(section, ""), hasSection ? 0 : 1);
            model.erase(section);
            break;
        case 8: {
            std::string newKey = hasSection ? random.Unused(model[section], random.keys()) : key;
            ASSERT_EQ(store.RenameKey(section, key, newKey), !hasSection ? 1 : hasKey ? 0 : 2);
            if (hasKey) {
                model[section][newKey] = model[section][key];
                model[section].erase(key);
            }
            break;
        }
        case 9: {
            std::string newName = random.Unused(model, random.sections());
            ASSERT_EQ(store.RenameSection(section, newName), hasSection ? 0 : 1);
            if (hasSection) {
                model[newName] = model[section];
                model.erase(section);
            }
            break;
        }
        }
        if (step % 250 == 0) {
            ASSERT_EQ(ReadFile(path), store.GetText());
            ExpectStoreHolds(store, model);
        }
    }
    ASSERT_EQ(ReadFile(path), store.GetText());
    store.Close();

    SettingsStore reopened;
    ASSERT_TRUE(reopened.OpenFile(path, StorageMode::Disk));
    ExpectStoreHolds(reopened, model);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"x.ini"});
}

} // namespace
} // namespace harvina::test
