#pragma once

#include "settings/PersistableControl.h"
#include "settings/WindowPlacement.h"

#include <vector>

namespace harvina {

// A window whose controls the settings store saves and restores.
class PersistableWindow {
public:
    virtual ~PersistableWindow() = default;

    // Every control of the window, in enumeration order. The window keeps ownership;
    // the pointers stay valid for one walk.
    [[nodiscard]] virtual std::vector<PersistableControl*> Controls() = 0;

    [[nodiscard]] virtual WindowPlacement Placement() const { return {}; }
    virtual void SetDisplayState(int /*state*/) {}
    virtual void MoveTo(int /*left*/, int /*top*/, int /*width*/, int /*height*/) {}
};

} // namespace harvina
