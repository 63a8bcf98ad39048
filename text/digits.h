#pragma once
// Decimal digits as every number reader of the program takes them: ASCII '0' to '9' only,
// whatever the locale, and the exact powers of ten the readers scale by.
#include <cstdint>

#include "geodesy/extended.h"

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline const char* SkipDigits(const char* p, const char* end)
{
    while (p != end && IsDigit(*p)) ++p;
    return p;
}

// A decimal exponent beyond any that matters, where counting stops: far past the range
// of every floating-point format, and far from overflowing 64 bits when added to.
inline constexpr std::int64_t kSaturatedExponent = std::int64_t{1} << 40;

// The value of the exponent part ("e" or "E", an optional sign, digits) at p, saturated
// at ±kSaturatedExponent; 0 when p is not at an "e" or "E". Digits are not required.
inline std::int64_t ExponentAt(const char* p, const char* end)
{
    std::int64_t exponent = 0;
    if (p == end || (*p != 'e' && *p != 'E')) return 0;
    ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    for (; p != end && IsDigit(*p); ++p)
        if (exponent < kSaturatedExponent) exponent = exponent * 10 + (*p - '0');
    return negative ? -exponent : exponent;
}

// 10^0 to 10^31, each the extended value nearest it (exact up to 10^27, whose odd part
// 5^27 still fits the 64-bit significand).
inline constexpr Extended kPowersOfTen[32] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L,
    1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L,
    1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L};
