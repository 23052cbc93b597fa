#include "engine/FolderTree.h"

#include <sys/stat.h>

#include "platform/Charset.h"

namespace harvina {

bool CreateFolderTree(const std::string& path)
{
    for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        // The empty text before a leading "/" is the root.
        if (slash == 0)
            continue;
        const std::string folder = NativePath(path.substr(0, slash));
        struct stat info {};
        if (::stat(folder.c_str(), &info) == 0)
            continue;
        if (::mkdir(folder.c_str(), 0755) != 0)
            return false;
    }
    return true;
}

} // namespace harvina
