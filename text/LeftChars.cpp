#include "text/LeftChars.h"

#include "text/LocalScan.h"

namespace harvina {
namespace {

size_t CharBytes(std::string_view text, size_t i)
{
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        return 2;
    return LocalUnitAt(text, i);
}

} // namespace

int CharCount(std::string_view text)
{
    int count = 0;
    for (size_t i = 0; i < text.size(); i += CharBytes(text, i))
        ++count;
    return count;
}

std::string LeftChars(std::string_view text, int n)
{
    if (n < 0)
        n += CharCount(text);
    size_t i = 0;
    for (int taken = 0; taken < n && i < text.size(); ++taken)
        i += CharBytes(text, i);
    return std::string(text.substr(0, i));
}

} // namespace harvina
