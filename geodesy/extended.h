#pragma once
// The one extended-precision type of the program: x86-64's 80-bit format with a
// 64-bit significand. Every value from parsing to formatting is an Extended.
#include <limits>

using Extended = long double;

static_assert(std::numeric_limits<Extended>::digits == 64,
              "Extended must be the 80-bit x87 format with a 64-bit significand");
