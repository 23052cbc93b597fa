#include "platform/Charset.h"

#include <gtest/gtest.h>

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
