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
    Extended tolerance;  // absolute for sin and cos, relative for tan
};

// The projection's arguments: latitudes to 8 × 90 degrees in radians, both signs.
// Large-argument rows allow for the x87 reduction with its 66-bit π; near π/2 that
// reduction error dominates tan.
static const TrigRow kTrigRows[] = {
    {0.0, 0},           {1e-300, 0},         {4.84813681109536e-6, 1e-24L},
    {0.418453961933951, 1e-19L}, {0.7853981633974483, 1e-19L}, {-1.3, 1e-19L},
    {2.0, 1e-19L},      {3.0, 1e-19L},       {3.6302848441482055, 1e-19L},  // 8 × 26 degrees
    {-6.283185307179586, 1e-18L}, {12.566370614359172, 1e-18L},         // 8 × 90 degrees
    {1e6, 1e-13L},      {1.5707963267948966, 1e-3L},                    // tan about 1.63e16
};

TEST(Trig, MatchesTheLibraryFunctions)
{
    for (const TrigRow& row : kTrigRows) {
        const Extended s = Sin(row.x), c = Cos(row.x), t = Tan(row.x);
        EXPECT_LE(std::fabs(s - sinl(row.x)), row.tolerance) << row.x << ": sin " << Full(s) << ", sinl " << Full(sinl(row.x));
        EXPECT_LE(std::fabs(c - cosl(row.x)), row.tolerance) << row.x << ": cos " << Full(c) << ", cosl " << Full(cosl(row.x));
        EXPECT_LE(std::fabs(t - tanl(row.x)), row.tolerance * (1 + std::fabs(tanl(row.x))))
            << row.x << ": tan " << Full(t) << ", tanl " << Full(tanl(row.x));
    }
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
        ASSERT_EQ(Tan(0.7), first) << "call " << i << ": " << Full(Tan(0.7));
        sum += Tan(0.7) * Sin(0.5) + Cos(0.5) * Tan(-0.7) + Sqrt(2.0);
    }
    const Extended expected = 64 * (first * sinl(0.5) - cosl(0.5) * first + sqrtl(2.0L));
    EXPECT_LE(std::fabs(sum - expected), 1e-15L) << Full(sum) << " vs " << Full(expected);
}

struct RangeRow {
    const char* name;
    double x;
    bool refused;
};

static const RangeRow kRangeRows[] = {
    {"2^53 - 1", 0x1p53 - 1, false}, {"2^53", 0x1p53, true},   {"-2^53", -0x1p53, true},
    {"2^64", 0x1p64, true},          {"1e300", 1e300, true},   {"infinity", INFINITY, true},
    {"-infinity", -INFINITY, true},  {"NaN", NAN, true},
};

TEST(Trig, RefusedArgumentsGiveQuietNaNWithoutFlags)
{
    for (const RangeRow& row : kRangeRows) {
        std::feclearexcept(FE_ALL_EXCEPT);
        const Extended s = Sin(row.x), c = Cos(row.x), t = Tan(row.x);
        EXPECT_EQ(std::fetestexcept(kErrorFlags), 0) << row.name;
        EXPECT_EQ(std::isnan(s), row.refused) << row.name << ": sin " << Full(s);
        EXPECT_EQ(std::isnan(c), row.refused) << row.name << ": cos " << Full(c);
        EXPECT_EQ(std::isnan(t), row.refused) << row.name << ": tan " << Full(t);
        if (!row.refused) {
            EXPECT_LE(std::fabs(s * s + c * c - 1), 1e-15L) << row.name << ": " << Full(s) << " " << Full(c);
        }
    }
}

TEST(Trig, SqrtIsTheExtendedRoot)
{
    const double arguments[] = {0.0, 0.25, 2.0, 0.7, 0.99330546, 0x1p1000};
    for (double x : arguments)
        EXPECT_EQ(Sqrt(x), sqrtl(x)) << x << ": " << Full(Sqrt(x));
    EXPECT_EQ(Sqrt(0x1p1000), 0x1p500L);
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_TRUE(std::isnan(Sqrt(-1.0)));
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
