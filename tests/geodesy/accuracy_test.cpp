// Accuracy against an independent exact Transverse Mercator (GeographicLib's
// TransverseMercatorExact, Lee's elliptic-function form) on the same ellipsoid, scale
// and false easting, and the round trips between the two directions. Grids of about
// 2500 points per row keep the suite fast.
#include <algorithm>
#include <cmath>

#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include "geodesy/projection.h"
#include "number_strings.h"

static GeographicLib::TransverseMercatorExact ExactFor(const Ellipsoid& e)
{
    return GeographicLib::TransverseMercatorExact(static_cast<double>(e.SemiMajorAxis),
                                                  1 / static_cast<double>(e.InverseFlattening),
                                                  static_cast<double>(ScaleFactor));
}

// A regular grid of longitudes 121 ± halfWidth and the given latitudes, 41 × 61 points.
template <typename Visit>
static void ForGeographicGrid(Extended halfWidth, Extended southLat, Extended northLat, Visit visit)
{
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 60; ++j)
            visit(121 - halfWidth + 2 * halfWidth * i / 40, southLat + (northLat - southLat) * j / 60);
}

struct NamedEllipsoid {
    const char* name;
    const Ellipsoid* ellipsoid;
};
static const NamedEllipsoid kBoth[] = {{"GRS67", &kGRS67}, {"GRS80", &kGRS80}};

struct ForwardAccuracyRow {
    Extended halfWidth;  // degrees from the central meridian
    double eastingTolerance;
    double northingTolerance;
};

TEST(Accuracy, ForwardAgainstExactTransverseMercator)
{
    const ForwardAccuracyRow rows[] = {
        {2, 1e-5, 1e-5},  // better than 0.01 mm within 2 degrees
        {3, 4e-5, 4e-6},  // about 0.03 mm and 0.003 mm three degrees out
    };
    for (const NamedEllipsoid& named : kBoth) {
        const auto exact = ExactFor(*named.ellipsoid);
        for (const ForwardAccuracyRow& row : rows) {
            double worstE = 0, worstN = 0;
            ForGeographicGrid(row.halfWidth, 21, 27, [&](Extended lon, Extended lat) {
                double x, y;
                exact.Forward(121, static_cast<double>(lat), static_cast<double>(lon), x, y);
                worstE = std::max(worstE, std::fabs(static_cast<double>(LonLatToEasting(*named.ellipsoid, lon, lat) - 250000 - x)));
                worstN = std::max(worstN, std::fabs(static_cast<double>(LonLatToNorthing(*named.ellipsoid, lon, lat) - y)));
            });
            EXPECT_LE(worstE, row.eastingTolerance) << named.name << " within " << Full(row.halfWidth) << " degrees";
            EXPECT_LE(worstN, row.northingTolerance) << named.name << " within " << Full(row.halfWidth) << " degrees";
        }
    }
}

struct InverseAccuracyRow {
    const char* region;
    Extended halfWidth;  // degrees from the central meridian (grid points from the forward)
    double tolerance;    // metres, for both coordinates
};

TEST(Accuracy, InverseThenExactForward)
{
    // The inverse series stop at q⁶ and q⁵: within one degree (eastings 150000 to
    // 350000 m) the exact forward projection of the result returns the grid position
    // within 1e-6 m; two degrees out the first omitted term reaches about 1.3e-5 m.
    const InverseAccuracyRow rows[] = {
        {"within 1 degree", 1, 1e-6},
        {"within 2 degrees", 2, 2e-5},
    };
    for (const NamedEllipsoid& named : kBoth) {
        const Ellipsoid& e = *named.ellipsoid;
        const auto exact = ExactFor(e);
        for (const InverseAccuracyRow& row : rows) {
            double worst = 0;
            ForGeographicGrid(row.halfWidth, 21, 27, [&](Extended lon, Extended lat) {
                const Extended E = LonLatToEasting(e, lon, lat), N = LonLatToNorthing(e, lon, lat);
                const Extended latitude = TM2ToLatitude(e, E, N), longitude = TM2ToLongitude(e, E, N);
                double x, y;
                exact.Forward(121, static_cast<double>(latitude), static_cast<double>(longitude), x, y);
                worst = std::max({worst, std::fabs(static_cast<double>(x + 250000 - E)), std::fabs(static_cast<double>(y - N))});
            });
            EXPECT_LE(worst, row.tolerance) << named.name << " " << row.region;
        }
    }
}

TEST(Accuracy, InverseOverTheEastingRange)
{
    // Eastings 150000 to 350000 m, northings across the 21..26 degree interval: both
    // the exact forward projection and this program's return the grid within 1e-6 m.
    for (const NamedEllipsoid& named : kBoth) {
        const Ellipsoid& e = *named.ellipsoid;
        const auto exact = ExactFor(e);
        const Extended south = LonLatToNorthing(e, 121, 21), north = LonLatToNorthing(e, 121, 26);
        double worstExact = 0;
        Extended worstSeries = 0;
        for (int i = 0; i <= 40; ++i)
            for (int j = 0; j <= 60; ++j) {
                const Extended E = 150000 + 5000 * i, N = south + (north - south) * j / 60;
                const Extended latitude = TM2ToLatitude(e, E, N), longitude = TM2ToLongitude(e, E, N);
                double x, y;
                exact.Forward(121, static_cast<double>(latitude), static_cast<double>(longitude), x, y);
                worstExact = std::max({worstExact, std::fabs(static_cast<double>(x + 250000 - E)),
                                       std::fabs(static_cast<double>(y - N))});
                worstSeries = std::max({worstSeries, std::fabs(LonLatToEasting(e, longitude, latitude) - E),
                                        std::fabs(LonLatToNorthing(e, longitude, latitude) - N)});
            }
        EXPECT_LE(worstExact, 1e-6) << named.name;
        EXPECT_LE(worstSeries, 1e-6L) << named.name << ": " << Full(worstSeries);
    }
}

struct RoundTripRow {
    Extended halfWidth;
    Extended tolerance;  // degrees
};

TEST(Accuracy, GeographicRoundTrip)
{
    const RoundTripRow rows[] = {{1, 1e-11L}, {3, 1e-8L}};
    for (const NamedEllipsoid& named : kBoth) {
        const Ellipsoid& e = *named.ellipsoid;
        for (const RoundTripRow& row : rows) {
            Extended worst = 0;
            ForGeographicGrid(row.halfWidth, 21, 26, [&](Extended lon, Extended lat) {
                const Extended E = LonLatToEasting(e, lon, lat), N = LonLatToNorthing(e, lon, lat);
                worst = std::max({worst, std::fabs(TM2ToLatitude(e, E, N) - lat), std::fabs(TM2ToLongitude(e, E, N) - lon)});
            });
            EXPECT_LE(worst, row.tolerance) << named.name << " within " << Full(row.halfWidth) << " degrees: " << Full(worst);
        }
    }
}

TEST(Accuracy, SixDecimalDegreesReturnTheGridWithinFiveCentimetres)
{
    struct Row {
        const Ellipsoid* ellipsoid;
        Extended E, N, latitude, longitude;
    };
    const Row rows[] = {
        {&kGRS67, 247342, 2652335, 23.975644L, 120.973880L}, {&kGRS80, 247342, 2652335, 23.975725L, 120.973880L},
        {&kGRS67, 250000, 2600000, 23.503069L, 121.000000L}, {&kGRS80, 250000, 2600000, 23.503148L, 121.000000L},
        {&kGRS67, 300000, 2750000, 24.856649L, 121.494765L}, {&kGRS80, 300000, 2750000, 24.856733L, 121.494768L},
        {&kGRS67, 200000, 2450000, 22.147713L, 120.515249L}, {&kGRS80, 200000, 2450000, 22.147788L, 120.515247L},
        {&kGRS67, 180000, 2520000, 22.779169L, 120.318273L}, {&kGRS80, 180000, 2520000, 22.779246L, 120.318270L},
        {&kGRS67, 320000, 2800000, 25.307242L, 121.695207L}, {&kGRS80, 320000, 2800000, 25.307328L, 121.695210L},
    };
    for (const Row& row : rows) {
        const Extended E = LonLatToEasting(*row.ellipsoid, row.longitude, row.latitude);
        const Extended N = LonLatToNorthing(*row.ellipsoid, row.longitude, row.latitude);
        EXPECT_LE(std::fabs(E - row.E), 0.05L) << Full(row.E) << " -> " << Full(E);
        EXPECT_LE(std::fabs(N - row.N), 0.05L) << Full(row.N) << " -> " << Full(N);
    }
}
