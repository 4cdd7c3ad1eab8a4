// Decimal text to integer: signs, stops at the first non-digit, wraps modulo 2^32.
#include "text_to_int.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Case
{
    const char* name;
    const char* text;
    int32_t expected;
};

TEST(TextToInt, ReadsSignsDigitsAndStopsAtTheFirstOtherCharacter)
{
    const Case cases[] = {
        {"single digit", "3", 3},
        {"minus sign negates", "-7", -7},
        {"plus sign is skipped", "+3", 3},
        {"leading zeros", "007", 7},
        {"letters after digits ignored", "12abc", 12},
        {"letters only", "abc", 0},
        {"empty", "", 0},
        {"minus alone", "-", 0},
        {"leading blank is not skipped", " 5", 0},
        {"only one sign is taken", "--5", 0},
        {"plus then minus", "+-5", 0},
        {"blank after digits ends the number", "7 lines", 7},
        {"largest positive", "2147483647", INT32_MAX},
        {"most negative written out", "-2147483648", INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextToInt(c.text), c.expected) << c.name;
}

TEST(TextToInt, OverflowWrapsModuloTwoToThe32)
{
    EXPECT_EQ(TextToInt("2147483648"), INT32_MIN);                                  // 2^31
    EXPECT_EQ(TextToInt("4294967296"), 0);                                          // 2^32
    EXPECT_EQ(TextToInt("4294967295"), -1);                                         // 2^32 - 1
    EXPECT_EQ(TextToInt("4294967299"), 3);                                          // 2^32 + 3
    EXPECT_EQ(TextToInt("-4294967295"), 1);                                         // -(2^32 - 1)
    EXPECT_EQ(TextToInt("99999999999999999999"), static_cast<int32_t>(0x630FFFFF)); // 10^20 - 1 mod 2^32
}

} // namespace
