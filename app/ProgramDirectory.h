#pragma once

#include <string>

namespace harvina {

// The folder holding the running executable, as local text, without a
// trailing "/". Empty when the system cannot tell.
[[nodiscard]] std::string ProgramDirectory();

} // namespace harvina
