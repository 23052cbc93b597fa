#include "settings/DateTimeText.h"

#include "platform/Charset.h"

#include <array>

namespace harvina {
namespace {

enum Unit { kYear, kMonth, kDay, kHour, kMinute, kSecond, kUnitCount };

const std::array<std::string, kUnitCount>& UnitTexts()
{
    static const std::array<std::string, kUnitCount> kUnits = {
        LocalText("年"), LocalText("月"), LocalText("日"), LocalText("时"), LocalText("分"), LocalText("秒")};
    return kUnits;
}

// Reads an unsigned decimal number (at most 9 digits) followed by the unit's text.
bool ReadPart(std::string_view& text, Unit unit, int& out)
{
    size_t digits = 0;
    long value = 0;
    while (digits < text.size() && digits < 9 && text[digits] >= '0' && text[digits] <= '9')
        value = value * 10 + (text[digits++] - '0');
    const std::string& mark = UnitTexts()[unit];
    if (digits == 0 || text.substr(digits, mark.size()) != mark)
        return false;
    out = static_cast<int>(value);
    text.remove_prefix(digits + mark.size());
    return true;
}

} // namespace

std::string FormatDateTime(const SettingsDateTime& value)
{
    const auto& unit = UnitTexts();
    std::string out = std::to_string(value.year) + unit[kYear] + std::to_string(value.month) + unit[kMonth] +
                      std::to_string(value.day) + unit[kDay];
    if (value.hour == 0 && value.minute == 0 && value.second == 0)
        return out;
    out += std::to_string(value.hour) + unit[kHour];
    if (value.second != 0)
        return out + std::to_string(value.minute) + unit[kMinute] + std::to_string(value.second) + unit[kSecond];
    if (value.minute != 0)
        out += std::to_string(value.minute) + unit[kMinute];
    return out;
}

std::optional<SettingsDateTime> ParseDateTime(std::string_view text)
{
    SettingsDateTime t;
    if (!ReadPart(text, kYear, t.year) || !ReadPart(text, kMonth, t.month) || !ReadPart(text, kDay, t.day))
        return std::nullopt;
    if (!text.empty()) {
        if (!ReadPart(text, kHour, t.hour))
            return std::nullopt;
        if (!text.empty()) {
            if (!ReadPart(text, kMinute, t.minute))
                return std::nullopt;
            if (!text.empty() && !ReadPart(text, kSecond, t.second))
                return std::nullopt;
        }
        if (!text.empty())
            return std::nullopt;
    }
    bool valid = t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 && t.minute <= 59 &&
                 t.second <= 59;
    if (!valid)
        return std::nullopt;
    return t;
}

} // namespace harvina
