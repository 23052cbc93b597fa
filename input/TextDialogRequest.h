#pragma once

#include <string>

namespace harvina {

// Settings of one opening of the text editor dialog, and what it hands back.
// Texts are local text.
struct TextDialogRequest {
    std::string hint;
    std::string caption;
    std::string initialText;
    int bodyInputMode = 0; // 0 normal editing, 1 read-only
    int bodyWidth = 0;     // when not 0, the window is sized to give the body this width
    int bodyHeight = 0;    // the same for the height
    bool displayOnly = false;
    bool scrollBars = false;
    int margin = 0; // 0 or less means kDefaultTextDialogMargin
    bool maximised = false;
    int importButtons = 0; // 1 contents, 2 file names, 3 both

    bool accepted = false;
    std::string resultText;
};

inline constexpr int kDefaultTextDialogMargin = 5;

} // namespace harvina
