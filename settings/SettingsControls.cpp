// Saving and restoring the state of a window's controls.
#include "settings/SettingsStore.h"

#include "platform/Charset.h"
#include "settings/ItemList.h"

#include <algorithm>
#include <array>
#include <utility>

namespace harvina {
namespace {

struct KindPrefix {
    const char* utf8;
    ControlKind kind;
};

// Tested in this order; the first prefix that matches decides.
constexpr std::array<KindPrefix, 8> kKindPrefixes = {{
    {"按钮", ControlKind::Button},
    {"编辑框", ControlKind::EditBox},
    {"选择框", ControlKind::CheckBox},
    {"单选框", ControlKind::RadioButton},
    {"组合框", ControlKind::ComboBox},
    {"列表框", ControlKind::ListBox},
    {"选择列表框", ControlKind::CheckListBox},
    {"颜色选择器", ControlKind::ColorPicker},
}};

ControlKind KindFromName(const std::string& name)
{
    static const auto kPrefixes = [] {
        std::array<std::pair<std::string, ControlKind>, kKindPrefixes.size()> out;
        for (size_t i = 0; i < kKindPrefixes.size(); ++i)
            out[i] = {LocalText(kKindPrefixes[i].utf8), kKindPrefixes[i].kind};
        return out;
    }();
    for (const auto& [prefix, kind] : kPrefixes)
        if (name.starts_with(prefix))
            return kind;
    return ControlKind::Other;
}

const std::string& LocalKey(const char* utf8Suffix)
{
    // Few distinct suffixes; each converted once.
    static const std::array<std::pair<const char*, std::string>, 6> kSuffixes = {{
        {".标记", LocalText(".标记")},
        {".列表", LocalText(".列表")},
        {".内容", LocalText(".内容")},
        {".选中", LocalText(".选中")},
        {".打勾", LocalText(".打勾")},
        {".尺寸", LocalText(".尺寸")},
    }};
    for (const auto& [utf8, local] : kSuffixes)
        if (std::string_view(utf8) == utf8Suffix)
            return local;
    static const std::string kNone;
    return kNone;
}

std::string Key(const PersistableControl& control, const char* utf8Suffix)
{
    return control.Name() + LocalKey(utf8Suffix);
}

std::vector<int> SelectedIndices(const PersistableControl& control)
{
    std::vector<int> out;
    for (int i = 0, count = control.ItemCount(); i < count; ++i)
        if (control.ItemSelected(i))
            out.push_back(i);
    return out;
}

std::vector<int> CheckedIndices(const PersistableControl& control)
{
    std::vector<int> out;
    for (int i = 0, count = control.ItemCount(); i < count; ++i)
        if (control.ItemChecked(i))
            out.push_back(i);
    return out;
}

struct PlacementKeys {
    std::string mainSection, state, left, top, width, height;
};

const PlacementKeys& PlacementKeyTexts()
{
    static const PlacementKeys kKeys{LocalText("主界面"), LocalText("位置"), LocalText("左边"),
                                     LocalText("顶边"),   LocalText("宽度"), LocalText("高度")};
    return kKeys;
}

} // namespace

void SettingsStore::PersistWindowControls(PersistableWindow& window, bool restore, const std::string& section,
                                          const std::vector<PersistableControl*>* controls,
                                          const std::vector<std::string>& excludedNames, bool comboItems,
                                          bool comboText)
{
    static const std::string kDoNotSave = LocalText("禁止保存");
    static const std::string kByteMode = LocalText("字节集方式");
    if (!section.empty())
        SetSection(section);
    std::vector<PersistableControl*> enumerated;
    if (!controls) {
        enumerated = window.Controls();
        controls = &enumerated;
    }
    for (PersistableControl* control : *controls) {
        PumpEvents();
        if (!control)
            continue;
        std::string name = control->Name();
        if (name.empty() || std::find(excludedNames.begin(), excludedNames.end(), name) != excludedNames.end())
            continue;
        ControlKind kind = KindFromName(name);
        // A name that promises another kind than the control has is left alone.
        if (kind == ControlKind::Other || control->Kind() != kind)
            continue;
        std::string tag = control->Tag();
        if (tag == kDoNotSave)
            continue;
        PersistControl(*control, kind, restore, tag == kByteMode, comboItems, comboText);
    }
}

void SettingsStore::PersistControl(PersistableControl& control, ControlKind kind, bool restore, bool byteMode,
                                   bool comboItems, bool comboText)
{
    switch (kind) {
    case ControlKind::Button:
        restore ? RestoreButtonTag(control, byteMode) : SaveButtonTag(control, byteMode);
        break;
    case ControlKind::EditBox:
        restore ? RestoreEditBox(control, byteMode) : SaveEditBox(control, byteMode);
        break;
    case ControlKind::CheckBox:
        restore ? RestoreCheckBox(control) : SaveCheckBox(control);
        break;
    case ControlKind::RadioButton:
        restore ? RestoreRadioButton(control) : SaveRadioButton(control);
        break;
    case ControlKind::ComboBox:
        restore ? RestoreComboIndex(control) : SaveComboIndex(control);
        if (comboItems)
            restore ? RestoreComboItems(control) : SaveComboItems(control);
        if (comboText)
            restore ? RestoreComboText(control) : SaveComboText(control);
        break;
    case ControlKind::ListBox:
        restore ? RestoreListBox(control, true) : SaveListBox(control, true);
        break;
    case ControlKind::CheckListBox:
        restore ? RestoreCheckListBox(control, true) : SaveCheckListBox(control, true);
        break;
    case ControlKind::ColorPicker:
        restore ? RestoreColorPicker(control) : SaveColorPicker(control);
        break;
    case ControlKind::Other:
    case ControlKind::MenuItem:
        break;
    }
}

void SettingsStore::SaveItems(const std::string& key, const PersistableControl& control)
{
    WriteBinary(key, EncodeItemList(control.Items()));
}

void SettingsStore::RestoreItems(const std::string& key, PersistableControl& control)
{
    std::string current = EncodeItemList(control.Items());
    if (auto items = DecodeItemList(ReadBinary(key, current)))
        control.SetItems(*items);
}

void SettingsStore::SaveMenuCheck(PersistableControl& item) { WriteBool(item.Text(), item.Checked()); }

void SettingsStore::RestoreMenuCheck(PersistableControl& item)
{
    item.SetChecked(ReadBool(item.Text(), item.Checked()));
}

void SettingsStore::SaveCheckBox(PersistableControl& control) { WriteBool(control.Name(), control.Checked()); }

void SettingsStore::RestoreCheckBox(PersistableControl& control)
{
    control.SetChecked(ReadBool(control.Name(), control.Checked()));
}

void SettingsStore::SaveEditBox(PersistableControl& control, bool byteMode)
{
    if (byteMode)
        WriteBinary(control.Name(), control.Text());
    else
        WriteText(control.Name(), control.Text());
}

void SettingsStore::RestoreEditBox(PersistableControl& control, bool byteMode)
{
    control.SetText(byteMode ? ReadBinary(control.Name(), control.Text()) : ReadText(control.Name(), control.Text()));
}

void SettingsStore::SaveCheckListBox(PersistableControl& control, bool withState)
{
    SaveItems(control.Name(), control);
    if (!withState)
        return;
    WriteNumber(Key(control, ".选中"), control.CurrentIndex());
    WriteText(Key(control, ".打勾"), FormatIndexList(CheckedIndices(control)));
}

void SettingsStore::RestoreCheckListBox(PersistableControl& control, bool withState)
{
    std::string checked = FormatIndexList(CheckedIndices(control));
    RestoreItems(control.Name(), control);
    if (!withState)
        return;
    control.SetCurrentIndex(ClampToInt(ReadNumber(Key(control, ".选中"), control.CurrentIndex())));
    for (int index : ParseIndexList(ReadText(Key(control, ".打勾"), checked)))
        control.SetItemChecked(index, true);
}

void SettingsStore::SaveComboItems(PersistableControl& control) { SaveItems(Key(control, ".列表"), control); }

void SettingsStore::RestoreComboItems(PersistableControl& control) { RestoreItems(Key(control, ".列表"), control); }

void SettingsStore::SaveListBox(PersistableControl& control, bool withSelection)
{
    SaveItems(control.Name(), control);
    if (withSelection)
        WriteText(Key(control, ".选中"), FormatIndexList(SelectedIndices(control)));
}

void SettingsStore::RestoreListBox(PersistableControl& control, bool withSelection)
{
    std::string selected = FormatIndexList(SelectedIndices(control));
    RestoreItems(control.Name(), control);
    if (!withSelection)
        return;
    for (int index : ParseIndexList(ReadText(Key(control, ".选中"), selected)))
        control.SetItemSelected(index, true);
}

void SettingsStore::SaveComboIndex(PersistableControl& control)
{
    WriteNumber(control.Name(), control.CurrentIndex());
}

void SettingsStore::RestoreComboIndex(PersistableControl& control)
{
    control.SetCurrentIndex(ClampToInt(ReadNumber(control.Name(), control.CurrentIndex())));
}

void SettingsStore::SaveComboText(PersistableControl& control) { WriteText(Key(control, ".内容"), control.Text()); }

void SettingsStore::RestoreComboText(PersistableControl& control)
{
    control.SetText(ReadText(Key(control, ".内容"), control.Text()));
}

void SettingsStore::SaveButtonTag(PersistableControl& control, bool byteMode)
{
    if (byteMode)
        WriteBinary(Key(control, ".标记"), control.Tag());
    else
        WriteText(Key(control, ".标记"), control.Tag());
}

void SettingsStore::RestoreButtonTag(PersistableControl& control, bool byteMode)
{
    std::string key = Key(control, ".标记");
    control.SetTag(byteMode ? ReadBinary(key, control.Tag()) : ReadText(key, control.Tag()));
}

void SettingsStore::SaveColorPicker(PersistableControl& control) { WriteNumber(control.Name(), control.Color()); }

void SettingsStore::RestoreColorPicker(PersistableControl& control)
{
    control.SetColor(ClampToInt(ReadNumber(control.Name(), control.Color())));
}

void SettingsStore::SaveRadioButton(PersistableControl& control) { WriteBool(control.Name(), control.Checked()); }

void SettingsStore::RestoreRadioButton(PersistableControl& control)
{
    control.SetChecked(ReadBool(control.Name(), control.Checked()));
}

void SettingsStore::SaveWindowPlacement(PersistableWindow& window, const std::string& section)
{
    const PlacementKeys& keys = PlacementKeyTexts();
    SetSection((section.empty() ? keys.mainSection : section) + LocalKey(".尺寸"));
    WindowPlacement placement = window.Placement();
    WriteNumber(keys.state, placement.displayState);
    if (placement.displayState > kDisplayNormal)
        return;
    WriteNumber(keys.left, placement.left);
    WriteNumber(keys.top, placement.top);
    WriteNumber(keys.width, placement.width);
    WriteNumber(keys.height, placement.height);
}

void SettingsStore::RestoreWindowPlacement(PersistableWindow& window, const std::string& section)
{
    const PlacementKeys& keys = PlacementKeyTexts();
    SetSection((section.empty() ? keys.mainSection : section) + LocalKey(".尺寸"));
    WindowPlacement current = window.Placement();
    int state = ClampToInt(ReadNumber(keys.state, current.displayState));
    window.SetDisplayState(state);
    if (state > kDisplayNormal)
        return;
    window.MoveTo(ClampToInt(ReadNumber(keys.left, current.left)), ClampToInt(ReadNumber(keys.top, current.top)),
                  ClampToInt(ReadNumber(keys.width, current.width)), ClampToInt(ReadNumber(keys.height, current.height)));
}

} // namespace harvina
