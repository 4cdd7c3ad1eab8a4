// The fixed-capacity text: cuts instead of overrunning and always stays terminated.
#include "fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FixedText, AssignAndAppendCutAtCapacity)
{
    FixedText<6> text("abc");
    EXPECT_EQ(text.Length(), 3);
    text.Append("defgh");
    EXPECT_STREQ(text.c_str(), "abcde");
    EXPECT_EQ(text.Length(), 5);
    text.Append("x");
    EXPECT_STREQ(text.c_str(), "abcde");
    text.Assign("0123456789");
    EXPECT_STREQ(text.c_str(), "01234");
}

TEST(FixedText, TerminateKeepsAFilledBufferInBounds)
{
    FixedText<4> text;
    std::memcpy(text.Buffer(), "wxyz", 4); // a system call that filled the buffer without a terminator
    text.Terminate(4);
    EXPECT_STREQ(text.c_str(), "wxy");
    text.Terminate(-1);
    EXPECT_STREQ(text.c_str(), "");
    text.Assign("abc");
    text.Truncate(1);
    EXPECT_STREQ(text.c_str(), "a");
    text.Truncate(10);
    EXPECT_STREQ(text.c_str(), "a");
}

} // namespace
