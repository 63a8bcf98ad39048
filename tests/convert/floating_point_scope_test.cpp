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
