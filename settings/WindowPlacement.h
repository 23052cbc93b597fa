#pragma once

namespace harvina {

// Display states as the toolkit numbers them; states above kDisplayNormal keep no bounds.
inline constexpr int kDisplayHidden = 0;
inline constexpr int kDisplayNormal = 1;
inline constexpr int kDisplayMinimised = 2;
inline constexpr int kDisplayMaximised = 3;

struct WindowPlacement {
    int displayState = kDisplayNormal;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

} // namespace harvina
