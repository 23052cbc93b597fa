#pragma once

#include "settings/ControlKind.h"

#include <string>
#include <vector>

namespace harvina {

// One control of a window as the settings store sees it. Texts are local text
// (GB18030). A toolkit implements what its kind has; the rest keep the defaults.
// Item indices are 0-based; an index out of range is ignored by the setters.
class PersistableControl {
public:
    virtual ~PersistableControl() = default;

    [[nodiscard]] virtual std::string Name() const = 0;
    [[nodiscard]] virtual ControlKind Kind() const = 0;
    [[nodiscard]] virtual std::string Tag() const = 0;
    virtual void SetTag(const std::string& tag) = 0;

    // Edit box: its content. Combo box: its edit text. Menu item: its caption.
    [[nodiscard]] virtual std::string Text() const { return {}; }
    virtual void SetText(const std::string& /*text*/) {}

    // Check box, radio button, menu item.
    [[nodiscard]] virtual bool Checked() const { return false; }
    virtual void SetChecked(bool /*checked*/) {}

    // Combo box, check list box; -1 for none.
    [[nodiscard]] virtual int CurrentIndex() const { return -1; }
    virtual void SetCurrentIndex(int /*index*/) {}

    // Combo box, list box, check list box: the items in order.
    [[nodiscard]] virtual std::vector<std::string> Items() const { return {}; }
    virtual void SetItems(const std::vector<std::string>& /*items*/) {}
    [[nodiscard]] virtual int ItemCount() const { return 0; }

    // List box selection.
    [[nodiscard]] virtual bool ItemSelected(int /*index*/) const { return false; }
    virtual void SetItemSelected(int /*index*/, bool /*selected*/) {}

    // Check list box check marks.
    [[nodiscard]] virtual bool ItemChecked(int /*index*/) const { return false; }
    virtual void SetItemChecked(int /*index*/, bool /*checked*/) {}

    // Colour picker: the colour value as the toolkit stores it (0x00BBGGRR).
    [[nodiscard]] virtual int Color() const { return 0; }
    virtual void SetColor(int /*color*/) {}
};

} // namespace harvina
