#pragma once

namespace harvina {

// A local calendar date and time of day, as the settings store writes it.
struct SettingsDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const SettingsDateTime&, const SettingsDateTime&) = default;
};

} // namespace harvina
