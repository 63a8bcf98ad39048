// Batch result lines of the TM2 direction, which convert through the combined inverse
// call: the worked grid positions on both ellipsoids, the pinned and beyond-the-pole
// northings, the errors, and the same line as the two public functions give.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "geodesy/floating_point.h"
#include "geodesy/projection.h"
#include "text/conversion.h"
#include "text/number_text.h"

struct LineRow {
    int ellipsoid;  // 0 GRS67, 1 GRS80
    const char* x;
    const char* y;
    const char* line;  // the result line, or the error's message
};

static const LineRow kLineRows[] = {
    {0, "247342", "2652335", "120.97388 23.97564"},
    {1, "247342", "2652335", "120.97388 23.97573"},
    {0, "252658", "2652335", "121.02612 23.97564"},
    {0, "300000", "2500000", "121.48632 22.59927"},
    {1, "300000", "2500000", "121.48632 22.59934"},
    {0, "170000", "2800000", "120.20549 25.30674"},
    {1, "350000", "2400000", "121.96641 21.6941"},
    {0, "250000", "0", "121 0"},
    {1, "250000", "-5000", "121 -0.045223"},
    {0, "250000", "10000000", "121 89.99104"},
    {0, "1e829", "2652335", "Floating point overflow"},
    {1, "250000", "1e400", "Floating point overflow"},
};

static std::string LineOrError(int ellipsoid, const char* x, const char* y)
{
    try {
        return BatchResultLine(TM2ToGeographic, kEllipsoids[ellipsoid], x, y);
    } catch (const FloatingPointError& error) {
        return error.what();
    }
}

TEST(BatchLine, GridToGeographic)
{
    for (const LineRow& row : kLineRows) {
        ResetFloatingPointEnvironment();
        EXPECT_EQ(LineOrError(row.ellipsoid, row.x, row.y), row.line)
            << (row.ellipsoid ? "GRS80" : "GRS67") << " x " << row.x << " y " << row.y;
    }
    ResetFloatingPointEnvironment();
}

TEST(BatchLine, SameAsThePublicPair)
{
    // Random positions written as a file would hold them, 15 significant digits.
    std::mt19937_64 random(97);
    std::uniform_real_distribution<double> east(100000, 400000), north(-1e6, 1.05e7);
    for (int e = 0; e < 2; ++e)
        for (int i = 0; i < 2000; ++i) {
            const std::string x = GeneralFormat(east(random), 15);
            const std::string y = GeneralFormat(north(random), 15);
            const Extended E = NumberFromText(x), N = NumberFromText(y);
            const Extended latitude = TM2ToLatitude(kEllipsoids[e], E, N);
            const Extended longitude = TM2ToLongitude(kEllipsoids[e], E, N);
            EXPECT_EQ(BatchResultLine(TM2ToGeographic, kEllipsoids[e], x, y),
                      GeneralFormat(longitude, 8) + " " + GeneralFormat(latitude, 7))
                << "x " << x << " y " << y;
        }
}
