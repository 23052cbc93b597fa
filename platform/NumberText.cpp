#include "platform/NumberText.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace harvina {
namespace {

class CLocale {
public:
    CLocale() : locale_(::newlocale(LC_ALL_MASK, "C", nullptr)) {}
    ~CLocale()
    {
        if (locale_)
            ::freelocale(locale_);
    }
    CLocale(const CLocale&) = delete;
    CLocale& operator=(const CLocale&) = delete;
    [[nodiscard]] locale_t get() const { return locale_; }

private:
    locale_t locale_;
};

} // namespace

std::string FormatNumber(double value)
{
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
    if (ec != std::errc())
        return "0";
    return std::string(buffer, end);
}

double ParseLeadingNumber(std::string_view text)
{
    static const CLocale c;
    std::string copy(text); // strtod needs a terminator
    if (!c.get())
        return std::strtod(copy.c_str(), nullptr);
    return ::strtod_l(copy.c_str(), nullptr, c.get());
}

} // namespace harvina
