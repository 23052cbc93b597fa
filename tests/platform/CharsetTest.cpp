#include "platform/Charset.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace harvina {

TEST(Charset, LocalTextRoundTripsChinese)
{
    const std::string local = LocalText("手机");
    EXPECT_EQ(local, "\xCA\xD6\xBB\xFA");
    EXPECT_EQ(Utf8Text(local), "手机");
}

TEST(Charset, InvalidBytesAreSkippedNotFatal)
{
    // A lone lead byte at the end and an invalid byte in the middle.
    const std::string broken = std::string("a\xFF" "b") + "\xCA";
    EXPECT_EQ(Utf8Text(broken), "ab");
}

TEST(Charset, UnknownCharsetGivesEmpty)
{
    EXPECT_EQ(ConvertBytes("abc", "NO-SUCH-CHARSET", "UTF-8"), "");
}

} // namespace harvina

namespace harvina {

// UTF-8 to local text copies ASCII runs straight; "UTF8" is the same charset
// under a name that takes the converter's own path for every byte.
TEST(Charset, AsciiRunsConvertLikeTheWholeText)
{
    const std::vector<std::string> pieces = {"a", "Z9 <>", "\xE6\x89\x8B", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                             "\xFF", "\xC3", "\x80", "\xE6\x89", "\r\n", std::string(1, '\0')};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 40);
        for (int k = 0; k < count; ++k)
            text += pieces[random() % pieces.size()];
        ASSERT_EQ(ConvertBytes(text, "UTF-8", "GB18030"), ConvertBytes(text, "UTF8", "GB18030")) << round;
        ASSERT_EQ(ConvertBytes(text, "UTF-8", "UTF-8"), ConvertBytes(text, "UTF8", "UTF-8")) << round;
    }
}

} // namespace harvina
