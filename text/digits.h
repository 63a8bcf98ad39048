#pragma once
// Decimal digits as every number reader of the program takes them: ASCII '0' to '9' only,
// whatever the locale, and the exact powers of ten the readers scale by.
#include "geodesy/extended.h"

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline const char* SkipDigits(const char* p, const char* end)
{
    while (p != end && IsDigit(*p)) ++p;
    return p;
}

// 10^0 to 10^31, each the extended value nearest it (exact up to 10^27, whose odd part
// 5^27 still fits the 64-bit significand).
inline constexpr Extended kPowersOfTen[32] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L,
    1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L,
    1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L};
