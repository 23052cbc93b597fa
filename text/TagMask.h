#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace harvina {

// Takes tags out of a text so that later replacements cannot touch them, and puts
// them back afterwards. Lives for one conversion.
class TagMask {
public:
    // Every innermost "<...>" becomes the placeholder (ten 0xFF bytes when empty).
    // keepList: keep the tags listed by an earlier Mask as they are.
    [[nodiscard]] std::string Mask(std::string_view text, std::string_view placeholder = {}, bool keepList = false);
    // Placeholders back to their tags, from the end of the text.
    [[nodiscard]] std::string Restore(std::string_view masked) const;

private:
    std::string placeholder_;
    std::string buffer_;
    std::vector<std::string> tags_;
};

} // namespace harvina
