#pragma once

#include <string_view>

namespace harvina {

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const LayoutRect&) const = default;
};

struct LayoutSize {
    int width = 0;
    int height = 0;
    bool operator==(const LayoutSize&) const = default;
};

// Sizes of the dialog's fixed parts and its client area as the form gives them.
inline constexpr LayoutSize kTextDialogClient{479, 354};
inline constexpr LayoutSize kTextDialogStrip{336, 34};
inline constexpr LayoutSize kTextDialogButton{64, 24};
inline constexpr int kTextDialogFormHintHeight = 33;
// The metrics of the hint box: one character cell is 6 pixels wide, a row 12 high.
inline constexpr int kHintCharWidth = 6;
inline constexpr int kHintRowHeight = 12;

struct TextDialogGeometry {
    LayoutRect hint;
    LayoutRect body;
    LayoutRect strip;
    LayoutRect ok;
    LayoutRect cancel;
};

// The margin actually used: 0 or less means the default.
[[nodiscard]] int EffectiveMargin(int margin);

// Characters per hint row for a client width, at least 1.
[[nodiscard]] int HintColumns(int clientWidth, int margin);

// Rows the hint takes: each CR LF separated line ceil(bytes / columns) rows, at
// least one; an empty hint takes none. `hint` is local text.
[[nodiscard]] int HintRows(std::string_view hint, int columns);

// Places every part for a client area of `client` (margin already effective).
[[nodiscard]] TextDialogGeometry LayoutTextDialog(LayoutSize client, int margin, std::string_view hint);

// Client size at creation for a requested body width/height (0 keeps the form's).
[[nodiscard]] LayoutSize TextDialogClientSize(int bodyWidth, int bodyHeight, int margin);

// Top-left of a window of `window` size centred on a screen of `screen` size,
// leaving 30 pixels for a task bar.
[[nodiscard]] LayoutRect CentredWindow(LayoutSize screen, LayoutSize window);

} // namespace harvina
