// The floating-point environment at the projection's edges: intermediates leaving the
// extended range are errors with the exact message; refused trigonometric arguments
// give NaN silently.
#include <cmath>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "geodesy/floating_point.h"
#include "geodesy/projection.h"
#include "number_strings.h"

using Projection = Extended (*)(const Ellipsoid&, Extended, Extended);

struct OverflowRow {
    const char* what;
    Projection function;
    Extended east;
    Extended north;
};

static const OverflowRow kOverflowRows[] = {
    // p⁵ and p² beyond the extended range
    {"easting, longitude 1e4000", LonLatToEasting, 1e4000L, 23.5L},
    {"northing, longitude 1e4000", LonLatToNorthing, 1e4000L, 23.5L},
    // the latitude in radians no longer fits a double for the sine
    {"easting, latitude 1e400", LonLatToEasting, 121, 1e400L},
    {"northing, latitude -1e400", LonLatToNorthing, 121, -1e400L},
    // q⁶ beyond the range from about 1e828 m, q⁵ from about 1e992 m
    {"latitude, E 1e829", TM2ToLatitude, 1e829L, 2600000},
    {"longitude, E 1e993", TM2ToLongitude, 1e993L, 2600000},
    {"latitude, E -1e993", TM2ToLatitude, -1e993L, 2600000},
    // the arc difference no longer fits a double for the convergence test
    {"latitude, N 1e400", TM2ToLatitude, 250000, 1e400L},
    {"longitude, N -1e400", TM2ToLongitude, 250000, -1e400L},
};

TEST(FloatingPointErrors, OverflowRaisesTheOverflowError)
{
    for (const OverflowRow& row : kOverflowRows)
        for (const Ellipsoid& e : kEllipsoids) {
            std::string message = "no error";
            Extended result = 0;
            try {
                result = row.function(e, row.east, row.north);
            } catch (const FloatingPointError& error) {
                message = error.what();
            }
            EXPECT_EQ(message, "Floating point overflow") << row.what << ", returned " << Full(result);
        }
    ResetFloatingPointEnvironment();
}

struct QuietRow {
    const char* what;
    Projection function;
    Extended east;
    Extended north;
    bool nan;
};

static const QuietRow kQuietRows[] = {
    // 8φ reaches 2^53 radians from about 6.45e16 degrees; φ itself from about 5.2e17
    {"northing at 6.5e16", LonLatToNorthing, 121.5L, 6.5e16L, true},
    {"northing at -1e18", LonLatToNorthing, 120, -1e18L, true},
    {"easting at 6.5e16", LonLatToEasting, 121.5L, 6.5e16L, false},
    {"easting at 6e17", LonLatToEasting, 121.5L, 6e17L, true},
    {"easting at 1e300", LonLatToEasting, 121.5L, 1e300L, true},
    // q⁵ still fits where q⁶ does not
    {"longitude, E 1e829", TM2ToLongitude, 1e829L, 2600000, false},
    // beyond the pole, far east: numbers without meaning, but no error
    {"latitude, E 1e6, N 3e7", TM2ToLatitude, 1e6L, 3e7L, false},
};

TEST(FloatingPointErrors, RefusedArgumentsAndLargeValuesPassQuietly)
{
    for (const QuietRow& row : kQuietRows)
        for (const Ellipsoid& e : kEllipsoids) {
            Extended result = 0;
            EXPECT_NO_THROW(result = row.function(e, row.east, row.north)) << row.what;
            EXPECT_EQ(std::isnan(result), row.nan) << row.what << ": " << Full(result);
        }
}

TEST(FloatingPointErrors, NextCallAfterAnErrorIsClean)
{
    EXPECT_THROW(LonLatToEasting(kGRS67, 1e4000L, 23.5L), FloatingPointError);
    // No reset in between: each call clears the flags it tests.
    EXPECT_EQ(Fixed(LonLatToEasting(kGRS67, 122, 25.3L), 3), "350697.152");
    EXPECT_EQ(Fixed(TM2ToLatitude(kGRS67, 300000, 2500000), 9), "22.599267582");
}

TEST(FloatingPointErrors, NaNNorthingIsAnInvalidOperation)
{
    // Not a number from any text, but never silently turned into a latitude.
    const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
    ResetFloatingPointEnvironment();
    for (Projection f : {TM2ToLatitude, TM2ToLongitude}) {
        std::string message = "no error";
        try {
            f(kGRS67, 250000, nan);
        } catch (const FloatingPointError& error) {
            message = error.what();
        }
        EXPECT_EQ(message, "Invalid floating point operation");
    }
    // With the invalid operation silenced the result is NaN, not a number near 21.
    SilenceInvalidOperation();
    EXPECT_TRUE(std::isnan(TM2ToLatitude(kGRS67, 250000, nan)));
    EXPECT_TRUE(std::isnan(TM2ToLongitude(kGRS67, 300000, nan)));
    ResetFloatingPointEnvironment();
}
