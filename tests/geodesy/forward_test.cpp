// Geographic to TM2: reference values to the millimetre and the exact edge cases.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "geodesy/meridian_arc.h"
#include "geodesy/projection.h"
#include "number_strings.h"

struct ForwardRow {
    const char* ellipsoidName;
    const Ellipsoid* ellipsoid;
    Extended longitude;
    Extended latitude;
    const char* easting;   // metres, 3 decimals
    const char* northing;
};

static const ForwardRow kForwardRows[] = {
    {"GRS67", &kGRS67, 121, 23.5L, "250000.000", "2599660.181"},
    {"GRS80", &kGRS80, 121, 23.5L, "250000.000", "2599651.349"},
    {"GRS67", &kGRS67, 120.973L, 23.97L, "247252.330", "2651709.991"},
    {"GRS80", &kGRS80, 120.973L, 23.97L, "247252.340", "2651700.980"},
    {"GRS67", &kGRS67, 122, 25.3L, "350697.152", "2799391.861"},
    {"GRS80", &kGRS80, 122, 25.3L, "350696.787", "2799382.342"},
    {"GRS67", &kGRS67, 120, 22, "146744.006", "2433902.934"},
    {"GRS80", &kGRS80, 120, 22, "146744.380", "2433894.670"},
    {"GRS67", &kGRS67, 119.5L, 23.5L, "96791.194", "2600459.996"},
    {"GRS80", &kGRS80, 119.5L, 23.5L, "96791.750", "2600451.161"},
    // Far west of the central meridian the easting is negative and stays so.
    {"GRS67", &kGRS67, 118.3L, 24.45L, "-23806.737", "2707541.568"},
    {"GRS80", &kGRS80, 118.3L, 24.45L, "-23805.744", "2707532.365"},
    // The equator half a degree either side, and the pole.
    {"GRS67", &kGRS67, 120.5L, 0, "194344.909", "0.000"},
    {"GRS67", &kGRS67, 121.5L, 0, "305655.091", "0.000"},
    {"GRS67", &kGRS67, 121, 90, "250000.000", "10001001.031"},
    {"GRS80", &kGRS80, 121, 90, "250000.000", "10000965.533"},
    {"GRS67", &kGRS67, 123.4L, 90, "250000.000", "10001001.031"},
};

TEST(Forward, ReferenceValues)
{
    for (const ForwardRow& row : kForwardRows) {
        const Extended E = LonLatToEasting(*row.ellipsoid, row.longitude, row.latitude);
        const Extended N = LonLatToNorthing(*row.ellipsoid, row.longitude, row.latitude);
        EXPECT_EQ(Fixed(E, 3), row.easting)
            << row.ellipsoidName << " (" << Full(row.longitude) << ", " << Full(row.latitude) << "): E " << Full(E);
        EXPECT_EQ(Fixed(N, 3), row.northing)
            << row.ellipsoidName << " (" << Full(row.longitude) << ", " << Full(row.latitude) << "): N " << Full(N);
    }
}

TEST(Forward, CentralMeridianIsTheScaledArc)
{
    // p = 0 removes every series term: E is the false easting and N the scaled arc,
    // exactly, whatever the latitude.
    const Extended latitudes[] = {-45, -0.001L, 0, 21, 23.5L, 23.975645939343L, 26, 60, 90, 123.4L, -200};
    for (const Ellipsoid& e : kEllipsoids)
        for (Extended phi : latitudes) {
            const Extended E = LonLatToEasting(e, 121, phi);
            const Extended N = LonLatToNorthing(e, 121, phi);
            EXPECT_EQ(E, 250000) << "at " << Full(phi) << ": " << Full(E);
            EXPECT_EQ(N, MeridianArc(e, phi) * ScaleFactor) << "at " << Full(phi) << ": " << Full(N);
        }
}

TEST(Forward, EquatorHasZeroNorthing)
{
    const Extended longitudes[] = {0, 90, 118.3L, 119, 120.5L, 121, 121.5L, 125, 181, -60};
    for (const Ellipsoid& e : kEllipsoids)
        for (Extended lambda : longitudes) {
            const Extended N = LonLatToNorthing(e, lambda, 0);
            EXPECT_EQ(N, 0) << "at " << Full(lambda) << ": " << Full(N);
        }
}

struct SymmetryRow {
    Extended offset;     // degrees either side of 121
    Extended latitude;
};

static const SymmetryRow kSymmetryRows[] = {
    {0.5L, 0}, {0.5L, 23.5L}, {1, 21}, {1.25L, 25.3L}, {2.7L, 24.45L}, {3, 27},
};

TEST(Forward, SymmetricAboutTheCentralMeridian)
{
    for (const Ellipsoid& e : kEllipsoids)
        for (const SymmetryRow& row : kSymmetryRows) {
            const Extended west = 121 - row.offset, east = 121 + row.offset;
            const Extended Nw = LonLatToNorthing(e, west, row.latitude);
            const Extended Ne = LonLatToNorthing(e, east, row.latitude);
            const Extended Ew = LonLatToEasting(e, west, row.latitude);
            const Extended Ee = LonLatToEasting(e, east, row.latitude);
            EXPECT_EQ(Nw, Ne) << "±" << Full(row.offset) << " at " << Full(row.latitude);
            EXPECT_LE(std::fabs((Ew - 250000) + (Ee - 250000)), 1e-9L)
                << "±" << Full(row.offset) << " at " << Full(row.latitude) << ": " << Full(Ew) << " " << Full(Ee);
        }
}
