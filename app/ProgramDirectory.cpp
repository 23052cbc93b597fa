#include "app/ProgramDirectory.h"

#include <climits>
#include <unistd.h>

#include "platform/Charset.h"

namespace harvina {

std::string ProgramDirectory()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    std::string path(buffer, static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    path.resize(slash == 0 ? 1 : slash);
    return LocalPath(path);
}

} // namespace harvina
