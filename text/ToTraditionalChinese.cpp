#include "text/ContainsKeywords.h"

namespace harvina {

// Placeholder until the conversion table lands: the text unchanged.
std::string ToTraditionalChinese(std::string_view text)
{
    return std::string(text);
}

} // namespace harvina
