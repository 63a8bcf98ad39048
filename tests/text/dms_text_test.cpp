// Degrees, minutes and seconds as old maps and the window write them.
#include <cmath>
#include <cstdio>

#include <gtest/gtest.h>

#include "text/dms_text.h"

TEST(DmsText, Forms)
{
    struct Row {
        const char* text;
        AngleAxis axis;
        DmsProblem problem;
        double degrees;  // when accepted, within 1e-12
    };
    const double dms = 120 + 58 / 60.0 + 25.97 / 3600;
    const AngleAxis lon = AngleAxis::Longitude, lat = AngleAxis::Latitude;
    const Row rows[] = {
        {"120°58'25.97\"", lon, DmsProblem::None, dms},
        {"120°58′25.97″", lon, DmsProblem::None, dms},
        {"120°58’25.97", lon, DmsProblem::None, dms},  // the window's own
        {"120d58m25.97s", lon, DmsProblem::None, dms},
        {" 120° 58' 25.97\" E ", lon, DmsProblem::None, dms},
        {"E120°58'25.97\"", lon, DmsProblem::None, dms},
        {"120°58'25.97''W", lon, DmsProblem::None, -dms},
        {"-120°58'25.97\"", lon, DmsProblem::None, -dms},
        {"+23°30'", lat, DmsProblem::None, 23.5},
        {"23°30.5'", lat, DmsProblem::None, 23 + 30.5 / 60},
        {"23.25°S", lat, DmsProblem::None, -23.25},
        {"N23.5", lat, DmsProblem::None, 23.5},
        {"23°59'59.999\"", lat, DmsProblem::None, 23 + 59 / 60.0 + 59.999 / 3600},
        {"23°60'", lat, DmsProblem::MinutesTooLarge, 0},
        {"23°5'60\"", lat, DmsProblem::SecondsTooLarge, 0},
        {"23°5'75", lat, DmsProblem::SecondsTooLarge, 0},
        {"23°30'N", lon, DmsProblem::WrongHemisphere, 0},
        {"E23°30'", lat, DmsProblem::WrongHemisphere, 0},
        {"23.5°30'", lat, DmsProblem::NotAnAngle, 0},  // a decimal must be the last part
        {"23°30", lat, DmsProblem::NotAnAngle, 0},       // minutes need their sign
        {"-23°30'S", lat, DmsProblem::NotAnAngle, 0},    // a sign and a letter
        {"23D30M", lat, DmsProblem::NotAnAngle, 0},      // capital letters are hemispheres
        {"23°30'12\"x", lat, DmsProblem::NotAnAngle, 0},
        {"°30'", lat, DmsProblem::NotAnAngle, 0},
        {"", lat, DmsProblem::NotAnAngle, 0},
        {"23", lat, DmsProblem::NotAnAngle, 0},  // a bare number is the number reader's
    };
    for (const Row& row : rows) {
        Extended value = -999;
        const DmsProblem problem = ParseDms(row.text, row.axis, value);
        EXPECT_EQ(int(problem), int(row.problem)) << row.text;
        if (row.problem == DmsProblem::None)
            EXPECT_NEAR(double(value), row.degrees, 1e-12) << row.text;
        else
            EXPECT_EQ(value, -999) << row.text;
    }
}
