#pragma once

#include <string>
#include <string_view>

namespace harvina {

// Appends as much of `data` as fits under `cap` and says whether all of it did.
// Capacity grows geometrically but never past the cap, so a buffer that ends at the
// cap never holds much more memory than the cap itself.
bool AppendCapped(std::string& buffer, std::string_view data, size_t cap);

} // namespace harvina
