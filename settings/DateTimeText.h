#pragma once

#include "settings/SettingsDateTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace harvina {

// "2024年3月5日", followed by "8时", "8时30分" or "8时30分15秒" unless it is midnight.
[[nodiscard]] std::string FormatDateTime(const SettingsDateTime& value);
// The forms FormatDateTime writes; nothing for anything else.
[[nodiscard]] std::optional<SettingsDateTime> ParseDateTime(std::string_view text);

} // namespace harvina
