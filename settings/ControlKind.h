#pragma once

namespace harvina {

// A control's kind as the window toolkit knows it. The walk takes the kind from the
// control's name and only touches a control whose real kind agrees.
enum class ControlKind {
    Other,
    Button,
    EditBox,
    CheckBox,
    RadioButton,
    ComboBox,
    ListBox,
    CheckListBox,
    ColorPicker,
    MenuItem,
};

} // namespace harvina
