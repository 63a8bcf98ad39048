// The trigonometric layer: the right function behind each name, the x87 register stack
// left clean, refused arguments, and the double rounding of every argument.
#include <cfenv>
#include <cmath>

#include <gtest/gtest.h>

#include "geodesy/trig.h"
#include "number_strings.h"

static constexpr int kErrorFlags = FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID;

struct TrigRow {
    double x;
    Extended tolerance;  // absolute, against the C library's extended functions
};

// The projection's arguments: latitudes to 8 × 90 degrees in radians, both signs.
// Large-argument rows allow for the x87 reduction with its 66-bit π.
static const TrigRow kTrigRows[] = {
    {0.0, 0},
    {1e-300, 0},
    {4.84813681109536e-6, 1e-24L},
    {0.418453961933951, 1e-19L},
    {0.7853981633974483, 1e-19L},
    {1.0, 1e-19L},
    {-1.3, 1e-19L},
    {2.0, 1e-19L},
    {3.0, 1e-19L},
    {3.6302848441482055, 1e-19L},   // 8 × 26 degrees
    {-6.283185307179586, 1e-18L},
    {12.566370614359172, 1e-18L},   // 8 × 90 degrees
    {1e6, 1e-13L},
};

TEST(Trig, SinCosMatchTheLibrary)
{
    for (const TrigRow& row : kTrigRows) {
        const Extended s = Sin(row.x), c = Cos(row.x);
        EXPECT_LE(std::fabs(s - sinl(row.x)), row.tolerance) << "sin " << row.x << " = " << Full(s) << ", sinl " << Full(sinl(row.x));
        EXPECT_LE(std::fabs(c - cosl(row.x)), row.tolerance) << "cos " << row.x << " = " << Full(c) << ", cosl " << Full(cosl(row.x));
    }
}

TEST(Trig, TanMatchesTheLibrary)
{
    for (const TrigRow& row : kTrigRows) {
        const Extended t = Tan(row.x), expected = tanl(row.x);
        // Relative: tan grows without bound near odd multiples of π/2.
        EXPECT_LE(std::fabs(t - expected), row.tolerance * (1 + std::fabs(expected)))
            << "tan " << row.x << " = " << Full(t) << ", tanl " << Full(expected);
    }
}

TEST(Trig, TanNearTheQuarterTurn)
{
    // The double nearest π/2 lies about 6.1e-17 below it: tan is about 1.63e16,
    // finite and positive, which keeps the forward series finite at the pole.
    const Extended t = Tan(1.5707963267948966);
    EXPECT_GT(t, 1.6e16L) << Full(t);
    EXPECT_LT(t, 1.7e16L) << Full(t);
}

TEST(Trig, TanLeavesTheRegisterStackClean)
{
    // Each fptan pushes an extra 1.0. Were it left behind, the eighth call would find
    // the stack full and return NaN; many calls in a row, mixed with the other
    // functions, must all keep giving the same finite value.
    const Extended first = Tan(0.7);
    ASSERT_TRUE(std::isfinite(first)) << Full(first);
    Extended sum = 0;
    for (int i = 0; i < 64; ++i) {
        const Extended t = Tan(0.7);
        ASSERT_EQ(t, first) << "call " << i << ": " << Full(t);
        sum += Tan(0.7) * Sin(0.5) + Cos(0.5) * Tan(-0.7) + Sqrt(2.0);
    }
    const Extended expected = 64 * (first * sinl(0.5) - cosl(0.5) * first + sqrtl(2.0L));
    EXPECT_LE(std::fabs(sum - expected), 1e-15L) << Full(sum) << " vs " << Full(expected);
}

struct RefusedRow {
    const char* name;
    double x;
};

static const RefusedRow kRefusedRows[] = {
    {"2^53", 0x1p53},
    {"-2^53", -0x1p53},
    {"2^60", 0x1p60},
    {"2^64", 0x1p64},
    {"1e300", 1e300},
    {"infinity", INFINITY},
    {"-infinity", -INFINITY},
    {"NaN", NAN},
};

TEST(Trig, RefusedArgumentsGiveQuietNaNWithoutFlags)
{
    for (const RefusedRow& row : kRefusedRows) {
        std::feclearexcept(FE_ALL_EXCEPT);
        const Extended s = Sin(row.x), c = Cos(row.x), t = Tan(row.x);
        const int raised = std::fetestexcept(kErrorFlags);
        EXPECT_TRUE(std::isnan(s)) << row.name << ": sin " << Full(s);
        EXPECT_TRUE(std::isnan(c)) << row.name << ": cos " << Full(c);
        EXPECT_TRUE(std::isnan(t)) << row.name << ": tan " << Full(t);
        EXPECT_EQ(raised, 0) << row.name << ": flags " << raised;
    }
}

TEST(Trig, LargestAcceptedArgument)
{
    const double x = std::nextafter(0x1p53, 0.0);  // 2^53 - 1
    std::feclearexcept(FE_ALL_EXCEPT);
    const Extended s = Sin(x), c = Cos(x), t = Tan(x);
    EXPECT_EQ(std::fetestexcept(kErrorFlags), 0);
    EXPECT_LE(std::fabs(s), 1) << Full(s);
    EXPECT_LE(std::fabs(c), 1) << Full(c);
    EXPECT_LE(std::fabs(s * s + c * c - 1), 1e-15L) << Full(s) << " " << Full(c);
    EXPECT_TRUE(std::isfinite(t)) << Full(t);
}

struct SqrtRow {
    double x;
    Extended expected;  // the correctly rounded extended root
};

static const SqrtRow kSqrtRows[] = {
    {0.0, 0},
    {0.25, 0.5},
    {2.0, 1.41421356237309504880168872420969807857L},
    {0x1p1000, 0x1p500L},
};

TEST(Trig, SqrtIsTheExtendedRoot)
{
    for (const SqrtRow& row : kSqrtRows) {
        const Extended r = Sqrt(row.x);
        EXPECT_EQ(r, sqrtl(row.x)) << row.x << ": " << Full(r);
        EXPECT_LE(std::fabs(r - row.expected), 1e-19L * (1 + row.expected)) << row.x << ": " << Full(r);
    }
}

TEST(Trig, SqrtOfNegativeIsInvalid)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    const Extended r = Sqrt(-1.0);
    EXPECT_TRUE(std::isnan(r)) << Full(r);
    EXPECT_NE(std::fetestexcept(FE_INVALID), 0);
}

TEST(Trig, ArgumentsAreRoundedToDouble)
{
    // An extended argument that is not a double reaches the function rounded; the
    // results then differ from the functions of the unrounded argument.
    const Extended x = 1 + 0x1p-60L;
    const Extended y = 0.7L + 0x1p-58L;
    EXPECT_EQ(Sin(x), Sin(1.0));
    EXPECT_EQ(Cos(y), Cos(0.7));
    EXPECT_EQ(Tan(y), Tan(0.7));
    EXPECT_EQ(Sqrt(y), sqrtl(0.7));
    EXPECT_NE(Sqrt(y), sqrtl(y));
}
