#pragma once

#include <string>

namespace harvina {

// Creates every missing folder along `path` (local text), walking its "/"
// separators from the left; with a trailing "/" the last folder is created
// too. False as soon as one cannot be created.
bool CreateFolderTree(const std::string& path);

} // namespace harvina
