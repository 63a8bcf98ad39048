// The footpoint search: the literal bisection inside the 21..26 degree interval, and
// the search beyond either end for northings outside it.
#include <cmath>

#include <gtest/gtest.h>

#include "geodesy/footpoint.h"
#include "geodesy/projection.h"
#include "number_strings.h"

static ArcCoefficients ArcOf(const Ellipsoid& e)
{
    return DeriveArcCoefficients(DeriveConstants(e));
}

struct IterationRow {
    const char* ellipsoidName;
    const Ellipsoid* ellipsoid;
    Extended northing;
    const char* latitude;  // the footpoint, 12 decimals
    int iterations;
};

TEST(Footpoint, IterationCounts)
{
    const IterationRow rows[] = {
        {"GRS67", &kGRS67, 2652335, "23.975645939343", 41},
        {"GRS67", &kGRS67, 2322852.445031L, "21.000000000002", 41},
        // Beyond the arc at either pole nothing converges: the search runs to its limit
        // and ends on the pole exactly.
        {"GRS67", &kGRS67, 2e7L, "90.000000000000", 1000},
        {"GRS80", &kGRS80, 2e7L, "90.000000000000", 1000},
        {"GRS67", &kGRS67, -1.5e7L, "-90.000000000000", 1000},
    };
    for (const IterationRow& row : rows) {
        const Footpoint f = FootpointLatitude(ArcOf(*row.ellipsoid), row.northing * InverseScaleFactor);
        EXPECT_EQ(Fixed(f.latitude, 12), row.latitude) << row.ellipsoidName << " N " << Full(row.northing) << ": " << Full(f.latitude);
        EXPECT_EQ(f.iterations, row.iterations) << row.ellipsoidName << " N " << Full(row.northing);
    }
}

TEST(Footpoint, PoleIsReachedExactly)
{
    for (const Ellipsoid& e : kEllipsoids) {
        EXPECT_EQ(FootpointLatitude(ArcOf(e), 2e7L).latitude, 90);
        EXPECT_EQ(FootpointLatitude(ArcOf(e), -2e7L).latitude, -90);
    }
}

struct PinnedRow {
    Extended reducedNorthing;
    Extended pinnedTo;
};

TEST(Footpoint, OneIntervalAloneIsPinnedToItsEnds)
{
    // The bisection itself, on the 21..26 degree interval only: a target outside it
    // drives the near bound onto the end exactly and exhausts the iterations.
    const PinnedRow rows[] = {{0, 21}, {-5000, 21}, {2e6L, 21}, {3e6L, 26}, {1e7L, 26}};
    for (const Ellipsoid& e : kEllipsoids)
        for (const PinnedRow& row : rows) {
            const Footpoint f = BisectFootpoint(ArcOf(e), row.reducedNorthing, kFootpointBracket);
            EXPECT_EQ(f.latitude, row.pinnedTo) << "N' " << Full(row.reducedNorthing) << ": " << Full(f.latitude);
            EXPECT_EQ(f.iterations, FootpointIterationLimit);
        }
}

struct SearchRow {
    Extended northing;
    Extended lowest;   // the footpoint must fall in [lowest, highest]
    Extended highest;
};

// Northings around both ends of the interval and far beyond them, each found by the
// search on the proper side: converged (the arc within the tolerance), never pinned.
static const SearchRow kSearchRows[] = {
    {0, -1e-11L, 1e-11L},
    {-5000, -0.05L, -0.04L},
    {-9e6L, -81.1L, -80.9L},
    {1e6L, 9, 9.1L},
    {2322844.5L, 20.99L, 21},          // just below the 21-degree arc on both ellipsoids
    {2322852.445031L, 21, 21.0001L},
    {2652335, 23.97L, 23.98L},
    {2876546.8L, 25.99L, 26},
    {2876556.7L, 26, 26.01L},          // just above the 26-degree arc on both ellipsoids
    {2900000, 26.2L, 26.22L},
    {1e7L, 89.9L, 90},
};

TEST(Footpoint, SearchOnEitherSide)
{
    for (const Ellipsoid& e : kEllipsoids) {
        const ArcCoefficients arc = ArcOf(e);
        for (const SearchRow& row : kSearchRows) {
            const Extended reduced = row.northing * InverseScaleFactor;
            const Footpoint f = FootpointLatitude(arc, reduced);
            EXPECT_LT(f.iterations, 100) << "N " << Full(row.northing);
            EXPECT_LE(std::fabs(static_cast<double>(MeridianArc(arc, f.latitude) - reduced)), ArcTolerance)
                << "N " << Full(row.northing) << ": " << Full(f.latitude);
            EXPECT_GE(f.latitude, row.lowest) << "N " << Full(row.northing) << ": " << Full(f.latitude);
            EXPECT_LE(f.latitude, row.highest) << "N " << Full(row.northing) << ": " << Full(f.latitude);
        }
    }
}

TEST(Footpoint, EquatorNorthingGivesTheEquator)
{
    for (const Ellipsoid& e : kEllipsoids) {
        // The equator is the first mid of the interval searched for it: exactly 0.
        const Extended latitude = TM2ToLatitude(e, 250000, 0);
        EXPECT_EQ(latitude, 0) << Full(latitude);
        EXPECT_EQ(TM2ToLongitude(e, 250000, 0), 121);
    }
}

struct GridRoundTripRow {
    Extended latitude;  // where the northing comes from, on the central meridian
    Extended easting;
};

// Northings around the Matsu islands (26.2 degrees), inside the interval, south of it
// (down to the southern hemisphere, beyond -21 degrees)
// and far from it: grid to geographic and back returns the grid position.
static const GridRoundTripRow kGridRoundTripRows[] = {
    {26.2L, 250000}, {26.2L, 180000}, {26.15L, 230000}, {26.38L, 260000},
    {21.5L, 250000}, {21.5L, 310000}, {21.9L, 200000},
    {20.5L, 250000}, {20.5L, 330000}, {10, 280000}, {0.5L, 240000}, {-15, 300000},
    {-21, 250000}, {-35, 260000},
    {30, 200000}, {45, 310000}, {60, 250000},
};

TEST(Footpoint, NorthingsOutsideTheIntervalRoundTrip)
{
    for (const Ellipsoid& e : kEllipsoids)
        for (const GridRoundTripRow& row : kGridRoundTripRows) {
            const Extended N = LonLatToNorthing(e, 121, row.latitude);
            const Extended E = row.easting;
            const Extended latitude = TM2ToLatitude(e, E, N);
            const Extended longitude = TM2ToLongitude(e, E, N);
            const Extended E2 = LonLatToEasting(e, longitude, latitude);
            const Extended N2 = LonLatToNorthing(e, longitude, latitude);
            EXPECT_LE(std::fabs(E2 - E), 1e-6L) << "(" << Full(E) << ", " << Full(N) << ") -> " << Full(E2);
            EXPECT_LE(std::fabs(N2 - N), 1e-6L) << "(" << Full(E) << ", " << Full(N) << ") -> " << Full(N2);
        }
}
