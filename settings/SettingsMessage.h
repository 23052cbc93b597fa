#pragma once

#include <string>

namespace harvina {

enum class MessageIcon { None, Information, Exclamation };

// A message box the store asks its host to show. Texts are local text (GB18030).
struct SettingsMessage {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    bool systemModal = false; // false: modal to the task only
};

} // namespace harvina
