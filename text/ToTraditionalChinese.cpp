#include "text/ContainsKeywords.h"

#include "text/TextSearch.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace harvina {
namespace {

struct CharacterPair {
    uint16_t simplified;
    uint16_t traditional;
};

constexpr CharacterPair kPairs[] = {
#include "text/TraditionalTable.inc"
};

} // namespace

// Character by character over two-byte codes only, so the byte length never changes.
std::string ToTraditionalChinese(std::string_view text)
{
    std::string out(text);
    for (size_t i = 0; i < out.size();) {
        const size_t unit = LocalUnitLength(out, i);
        if (unit == 2) {
            const auto code = static_cast<uint16_t>(static_cast<unsigned char>(out[i]) << 8 |
                                                    static_cast<unsigned char>(out[i + 1]));
            const auto* found = std::lower_bound(std::begin(kPairs), std::end(kPairs), code,
                                                 [](const CharacterPair& p, uint16_t c) { return p.simplified < c; });
            if (found != std::end(kPairs) && found->simplified == code) {
                out[i] = static_cast<char>(found->traditional >> 8);
                out[i + 1] = static_cast<char>(found->traditional & 0xFF);
            }
        }
        i += unit;
    }
    return out;
}

} // namespace harvina
