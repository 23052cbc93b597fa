#include "engine/JobClock.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/Charset.h"

namespace harvina {

std::int64_t TickCount()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string FormatTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

namespace {

struct ElapsedUnit {
    double divisor; // from the previous unit
    double bound;   // the value stays in this unit below it
    const char* utf8Name;
};

// The value rounded to 2 places, shortest form, at most 13 significant digits.
std::string FormatValue(double value)
{
    const double rounded = std::round(value * 100.0) / 100.0;
    char text[64];
    std::snprintf(text, sizeof text, "%.13g", rounded);
    return text;
}

} // namespace

std::string FormatElapsed(std::int64_t ms)
{
    static const std::array<ElapsedUnit, 7> kUnits {{
        {1.0, 1000.0, " 毫秒"},
        {1000.0, 60.0, " 秒"},
        {60.0, 60.0, " 分"},
        {60.0, 24.0, " 时"},
        {24.0, 30.0, " 天"},
        {30.0, 12.0, " 月"},
        {12.0, 0.0, " 年"},
    }};
    constexpr double kBoundSlack = 1e-7;
    double value = static_cast<double>(ms);
    for (std::size_t i = 0; i < kUnits.size(); ++i) {
        value /= kUnits[i].divisor;
        if (i + 1 == kUnits.size() || value < kUnits[i].bound - kBoundSlack)
            return FormatValue(value) + LocalText(kUnits[i].utf8Name);
    }
    return {};
}

} // namespace harvina
