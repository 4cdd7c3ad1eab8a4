// Decimal text to integer, wrapping silently like the 32-bit arithmetic it mirrors.
#include "text_to_int.h"

namespace {
constexpr uint32_t kDecimalBase = 10;
}

int32_t TextToInt(const char* text)
{
    if (text == nullptr)
        return 0;
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    } else if (*text == '+') {
        ++text;
    }
    // Unsigned arithmetic wraps by definition; a signed accumulator would overflow into undefined behaviour.
    uint32_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * kDecimalBase + static_cast<uint32_t>(*text - '0');
        ++text;
    }
    if (negative)
        value = 0u - value;
    // Two's complement reading of the 32 bits, done without an implementation-defined conversion.
    return value <= static_cast<uint32_t>(INT32_MAX) ? static_cast<int32_t>(value)
                                                     : static_cast<int32_t>(value - 0x80000000u) + INT32_MIN;
}
