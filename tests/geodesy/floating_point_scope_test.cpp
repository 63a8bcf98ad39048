// Each converted row starts from whatever flags the rows before it left: a projection
// call must judge only what it raises itself, whatever was raised before it.
#include <gtest/gtest.h>

#include <cfenv>
#include <cstdio>
#include <string>
#include <vector>

#include "geodesy/ellipsoid.h"
#include "geodesy/floating_point.h"
#include "geodesy/projection.h"

static std::string Show(Extended x)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", x);
    return buffer;
}

TEST(FloatingPointScope, FlagsRaisedBeforeACallAreNotItsErrors)
{
    ResetFloatingPointEnvironment();
    const Extended latitude = TM2ToLatitude(kGRS67, 247342, 2652335);
    const Extended northing = LonLatToNorthing(kGRS67, 121, 23.5L);
    struct Case {
        const char* name;
        int raised;
    };
    const std::vector<Case> table = {
        {"nothing", 0},
        {"overflow", FE_OVERFLOW},
        {"division by zero", FE_DIVBYZERO},
        {"invalid operation", FE_INVALID},
        {"all three", FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID},
        {"inexact and underflow", FE_INEXACT | FE_UNDERFLOW},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        ResetFloatingPointEnvironment();
        std::feraiseexcept(c.raised);
        Extended got = 0;
        EXPECT_NO_THROW(got = TM2ToLatitude(kGRS67, 247342, 2652335));
        EXPECT_EQ(got, latitude) << Show(got);
        std::feraiseexcept(c.raised);
        EXPECT_NO_THROW(got = LonLatToNorthing(kGRS67, 121, 23.5L));
        EXPECT_EQ(got, northing) << Show(got);
        // And what a call raises itself is still its error.
        std::feraiseexcept(c.raised);
        try {
            TM2ToLatitude(kGRS67, 250000, 1.7976e308L);
            ADD_FAILURE() << "no error for a northing beyond the double range";
        } catch (const FloatingPointError& error) {
            EXPECT_STREQ(error.what(), kOverflowMessage);
        }
    }
    ResetFloatingPointEnvironment();
}

// A thread may start with another x87 precision or rounding (64-bit Windows starts new
// threads at double precision); the reset gives every converting thread the program's.
TEST(FloatingPointScope, ResetRestoresExtendedPrecisionAndRoundingToNearest)
{
    const unsigned short controls[] = {0x027F /* 53 bits */, 0x007F /* 24 bits */,
                                       0x0F7F /* 64 bits, toward zero */, 0x077F /* 64 bits, down */};
    const Extended expected = TM2ToLatitude(kGRS67, 247342, 2652335);
    for (unsigned short control : controls) {
        SCOPED_TRACE(control);
        asm volatile("fldcw %0" : : "m"(control));
        ResetFloatingPointEnvironment();
        volatile Extended one = 1;
        const Extended tiny = 0x1p-63L;  // representable only with a 64-bit significand
        EXPECT_EQ(one + tiny - one, tiny);
        EXPECT_EQ(one - 0x1p-65L, one);  // to nearest; toward zero or down would give less
        const Extended latitude = TM2ToLatitude(kGRS67, 247342, 2652335);
        EXPECT_EQ(latitude, expected) << Show(latitude) << " instead of " << Show(expected);
    }
    ResetFloatingPointEnvironment();
}
