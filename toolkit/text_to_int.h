// Decimal text to a signed 32-bit integer, the way the settings file's numbers are read.
#pragma once

#include <cstdint>

// An optional leading '-' or '+', then digits up to the first non-digit; no digits give 0.
// Overflow wraps modulo 2^32 and the result is read as signed. Null counts as empty.
int32_t TextToInt(const char* text);
