#pragma once

#include <string>
#include <vector>

namespace harvina {

enum class PendingKind : int { WriteEntry = 0, DeleteEntry = 1, RenameSection = 2, RenameKey = 3 };

// A mutating call that waits while another one is carried out.
struct PendingOperation {
    PendingKind kind = PendingKind::WriteEntry;
    std::vector<std::string> arguments;
};

} // namespace harvina
