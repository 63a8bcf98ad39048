// The TWD67 ⇄ TWD97 shifts against the published check values, the exact inverse of the
// planar transformation, Penghu's translation against GeographicLib's geocentric
// conversion, zone 119 against an exact Transverse Mercator, and the region table.
#include <cmath>
#include <random>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include "geodesy/datum_shift.h"
#include "number_strings.h"

struct GridCase {
    GridPoint twd67;
    GridPoint twd97;
};

TEST(DatumShift, PlanarCheckValuesWithinOneMillimetre)
{
    const GridCase cases[] = {
        {{247342.198, 2652335.851}, {248171.1252, 2652129.9486}},
        {{300000, 2750000}, {300830.3797, 2749795.9538}},
    };
    for (const GridCase& c : cases) {
        const GridPoint forward = PlanarTWD67ToTWD97(c.twd67);
        EXPECT_NEAR(double(forward.easting), double(c.twd97.easting), 1e-3) << Full(c.twd67.easting);
        EXPECT_NEAR(double(forward.northing), double(c.twd97.northing), 1e-3) << Full(c.twd67.northing);
        const GridPoint back = PlanarTWD97ToTWD67(c.twd97);
        EXPECT_NEAR(double(back.easting), double(c.twd67.easting), 1e-3) << Full(c.twd97.easting);
        EXPECT_NEAR(double(back.northing), double(c.twd67.northing), 1e-3) << Full(c.twd97.northing);
    }
}

TEST(DatumShift, PlanarInverseUndoesTheForwardWithinATenthOfAMillimetre)
{
    std::mt19937_64 random(67097);
    std::uniform_real_distribution<double> east(100000, 400000), north(2400000, 2800000);
    double worst = 0;
    for (int i = 0; i < 100000; ++i) {
        const GridPoint p{east(random), north(random)};
        const GridPoint there = PlanarTWD67ToTWD97(p);
        const GridPoint back = PlanarTWD97ToTWD67(there);
        const GridPoint again = PlanarTWD67ToTWD97(PlanarTWD97ToTWD67(p));
        for (Extended d : {back.easting - p.easting, back.northing - p.northing, again.easting - p.easting,
                           again.northing - p.northing})
            worst = std::max(worst, std::fabs(double(d)));
    }
    EXPECT_LE(worst, 1e-4);
}

TEST(DatumShift, PenghuCheckValues)
{
    // Zone-119 grid to zone-119 grid, ±1 mm.
    const Geographic g67 = ZoneToGeographic(kGRS67, Zone::Zone119, 310000, 2620000);
    const Geographic g97 = GeocentricTWD67ToTWD97(g67.longitude, g67.latitude);
    const GridPoint grid97 = GeographicToZone(kGRS80, Zone::Zone119, g97.longitude, g97.latitude);
    EXPECT_NEAR(double(grid97.easting), 310826.779, 1e-3);
    EXPECT_NEAR(double(grid97.northing), 2619802.764, 1e-3);
    // Degrees, published to 6 decimals.
    const Geographic p = GeocentricTWD67ToTWD97(119.6, 23.6);
    EXPECT_NEAR(double(p.longitude), 119.608095, 5e-7);
    EXPECT_NEAR(double(p.latitude), 23.598268, 5e-7);
}

TEST(DatumShift, GeocentricRoundTripsAgreeWithGeographicLib)
{
    // GeographicLib's geocentric conversion on the same ellipsoids: within 1e-9 degrees
    // (0.1 mm) everywhere in Penghu's box; there and back within 3e-8 degrees (3 mm),
    // the dropped height of 5 to 20 m tilted by the normals' difference.
    const GeographicLib::Geocentric grs67(6378160, 1 / 298.247167), grs80(6378137, 1 / 298.257222101);
    double worst = 0, worstBack = 0;
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) {
            const double lon = 119 + 0.9 * i / 20, lat = 23 + 0.9 * j / 20;
            double X, Y, Z, lat97, lon97, h;
            grs67.Forward(lat, lon, 0, X, Y, Z);
            grs80.Reverse(X - 752, Y - 349, Z - 179, lat97, lon97, h);
            const Geographic ours = GeocentricTWD67ToTWD97(lon, lat);
            worst = std::max({worst, std::fabs(double(ours.longitude) - lon97), std::fabs(double(ours.latitude) - lat97)});
            const Geographic back = GeocentricTWD97ToTWD67(ours.longitude, ours.latitude);
            worstBack = std::max({worstBack, std::fabs(double(back.longitude) - lon), std::fabs(double(back.latitude) - lat)});
        }
    EXPECT_LE(worst, 1e-9);
    EXPECT_LE(worstBack, 3e-8);
}

TEST(DatumShift, ZoneAgainstExactTransverseMercator)
{
    // Penghu, Kinmen and Matsu, both ellipsoids: zone 119 within 0.01 mm of the exact
    // projection with central meridian 119, and the inverse back within 1e-9 degrees.
    for (const Ellipsoid* e : {&kGRS67, &kGRS80}) {
        const GeographicLib::TransverseMercatorExact exact(double(e->SemiMajorAxis), 1 / double(e->InverseFlattening),
                                                           0.9999);
        double worstGrid = 0, worstBack = 0;
        for (int i = 0; i <= 40; ++i)
            for (int j = 0; j <= 40; ++j) {
                const Extended lon = 118 + 2.8L * i / 40, lat = 22.5L + 4.2L * j / 40;
                double x, y;
                exact.Forward(119, double(lat), double(lon), x, y);
                const GridPoint ours = GeographicToZone(*e, Zone::Zone119, lon, lat);
                worstGrid = std::max({worstGrid, std::fabs(double(ours.easting - 250000) - x),
                                      std::fabs(double(ours.northing) - y)});
                const Geographic back = ZoneToGeographic(*e, Zone::Zone119, ours.easting, ours.northing);
                worstBack = std::max({worstBack, std::fabs(double(back.longitude - lon)),
                                      std::fabs(double(back.latitude - lat))});
            }
        EXPECT_LE(worstGrid, 1e-5);
        EXPECT_LE(worstBack, 1e-9);
    }
}

TEST(DatumShift, GridShortcutNeverMissesAnIsland)
{
    // Wherever the shortcut says "main island", the region of the exact inverse agrees;
    // and it does not give up on most of the main island.
    std::mt19937_64 random(119121);
    std::uniform_real_distribution<double> east(-100000, 500000), north(2450000, 3000000);
    int sure = 0;
    for (int i = 0; i < 100000; ++i) {
        const Extended E = east(random), N = north(random);
        if (!SurelyMainIslandOnZone121(E, N)) continue;
        ++sure;
        for (const Ellipsoid* e : {&kGRS67, &kGRS80}) {
            const Geographic g = ZoneToGeographic(*e, Zone::Zone121, E, N);
            ASSERT_EQ(int(RegionOf(g.longitude, g.latitude)), int(Region::MainIsland)) << Full(E) << " " << Full(N);
        }
    }
    EXPECT_GT(sure, 80000);
    EXPECT_TRUE(SurelyMainIslandOnZone121(180000, 2600000));  // the main island's west coast
    EXPECT_FALSE(SurelyMainIslandOnZone121(100000, 2600000)); // Penghu
}

TEST(DatumShift, RegionTableAtItsEdges)
{
    struct Row {
        Extended longitude, latitude;
        Region region;
    };
    const Row rows[] = {
        {119.0L, 23.0L, Region::Penghu},     {119.9L, 23.9L, Region::Penghu},
        {118.99L, 23.5L, Region::MainIsland}, {119.5L, 23.91L, Region::MainIsland},
        {119.91L, 23.5L, Region::MainIsland}, {119.5L, 22.99L, Region::MainIsland},
        {118.1L, 24.3L, Region::Kinmen},     {118.6L, 24.6L, Region::Kinmen},
        {118.09L, 24.45L, Region::MainIsland}, {118.35L, 24.61L, Region::MainIsland},
        {119.8L, 25.9L, Region::Matsu},      {120.7L, 26.5L, Region::Matsu},
        {120.71L, 26.2L, Region::MainIsland}, {120.2L, 25.89L, Region::MainIsland},
        {121.5L, 25.0L, Region::MainIsland}, {121.55L, 22.05L, Region::MainIsland},  // Taipei, Orchid Island
    };
    for (const Row& row : rows)
        EXPECT_EQ(int(RegionOf(row.longitude, row.latitude)), int(row.region))
            << Full(row.longitude) << " " << Full(row.latitude);
    EXPECT_FALSE(HasTWD67(Region::Kinmen));
    EXPECT_FALSE(HasTWD67(Region::Matsu));
    EXPECT_EQ(ZoneOf(Region::Matsu), Zone::Zone119);
    EXPECT_EQ(ZoneOf(Region::MainIsland), Zone::Zone121);
}
