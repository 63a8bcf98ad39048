// TM2 to geographic: worked values, the reference table, intermediates of the series
// and the exact edge cases.
#include <cmath>

#include <gtest/gtest.h>

#include "geodesy/footpoint.h"
#include "geodesy/inverse_series.h"
#include "geodesy/projection.h"
#include "number_strings.h"

struct InverseRow {
    const char* ellipsoidName;
    const Ellipsoid* ellipsoid;
    Extended easting;
    Extended northing;
    const char* latitude;
    const char* longitude;
};

static void ExpectInverse(const InverseRow& row, int decimals)
{
    const Extended latitude = TM2ToLatitude(*row.ellipsoid, row.easting, row.northing);
    const Extended longitude = TM2ToLongitude(*row.ellipsoid, row.easting, row.northing);
    EXPECT_EQ(Fixed(latitude, decimals), row.latitude)
        << row.ellipsoidName << " (" << Full(row.easting) << ", " << Full(row.northing) << "): latitude " << Full(latitude);
    EXPECT_EQ(Fixed(longitude, decimals), row.longitude)
        << row.ellipsoidName << " (" << Full(row.easting) << ", " << Full(row.northing) << "): longitude " << Full(longitude);
}

TEST(Inverse, WorkedValues)
{
    const InverseRow rows[] = {
        {"GRS67", &kGRS67, 247342, 2652335, "23.975643716", "120.973880002"},
        {"GRS80", &kGRS80, 247342, 2652335, "23.975725104", "120.973879891"},
        {"GRS67", &kGRS67, 252658, 2652335, "23.975643716", "121.026119998"},
        {"GRS67", &kGRS67, 300000, 2500000, "22.599267582", "121.486316790"},
        {"GRS80", &kGRS80, 300000, 2500000, "22.599344254", "121.486318821"},
        {"GRS67", &kGRS67, 170000, 2800000, "25.306740199", "120.205485148"},
        {"GRS80", &kGRS80, 350000, 2400000, "21.694095568", "121.966413386"},
        // On the central meridian the latitude is the footpoint and the longitude 121.
        {"GRS67", &kGRS67, 250000, 2652335, "23.975645939", "121.000000000"},
        // Just inside the 21-degree end of the search interval.
        {"GRS67", &kGRS67, 250000, 2322852.445031L, "21.000000000", "121.000000000"},
    };
    for (const InverseRow& row : rows)
        ExpectInverse(row, 9);
}

TEST(Inverse, ReferenceTable)
{
    const InverseRow rows[] = {
        {"GRS67", &kGRS67, 247342, 2652335, "23.975644", "120.973880"},
        {"GRS67", &kGRS67, 250000, 2600000, "23.503069", "121.000000"},
        {"GRS67", &kGRS67, 300000, 2750000, "24.856649", "121.494765"},
        {"GRS67", &kGRS67, 200000, 2450000, "22.147713", "120.515249"},
        {"GRS67", &kGRS67, 180000, 2520000, "22.779169", "120.318273"},
        {"GRS67", &kGRS67, 320000, 2800000, "25.307242", "121.695207"},
        {"GRS80", &kGRS80, 247342, 2652335, "23.975725", "120.973880"},
        {"GRS80", &kGRS80, 250000, 2600000, "23.503148", "121.000000"},
        {"GRS80", &kGRS80, 300000, 2750000, "24.856733", "121.494768"},
        {"GRS80", &kGRS80, 200000, 2450000, "22.147788", "120.515247"},
        {"GRS80", &kGRS80, 180000, 2520000, "22.779246", "120.318270"},
        {"GRS80", &kGRS80, 320000, 2800000, "25.307328", "121.695210"},
    };
    for (const InverseRow& row : rows)
        ExpectInverse(row, 6);
}

TEST(Inverse, SeriesIntermediates)
{
    // E = 247342, N = 2652335 on GRS67, to 15 significant digits.
    const EllipsoidConstants k = DeriveConstants(kGRS67);
    const Footpoint footpoint = FootpointLatitude(DeriveArcCoefficients(k), 2652335 * InverseScaleFactor);
    const FootpointQuantities at = QuantitiesAtFootpoint(k, footpoint.latitude);
    const Extended q = ScaledEasting(247342);
    const LatitudeSeries L = LatitudeSeriesAt(at);
    const LongitudeSeries M = LongitudeSeriesAt(at);
    struct Row {
        const char* name;
        Extended value;
        const char* expected;
    };
    const Row rows[] = {
        {"phi", at.phi, "0.418453961933951"},
        {"nu", at.nu, "6381688.15385642"},
        {"rho", at.rho, "6345980.15558762"},
        {"eta2", at.eta2, "0.00562686888287202"},
        {"t", at.t, "0.444719464349684"},
        {"q", q, "-0.00265826582658266"},
        {"L2", L.L2, "1132.52288739005"},
        {"P4", L.P4, "5.58881072188723"},
        {"L4", L.L4, "12.9513185819376"},
        {"P6", L.P6, "80.5383623028704"},
        {"L6", L.L6, "0.152758353272013"},
        {"M1", M.M1, "35373.4362326289"},
        {"M3", M.M3, "202.837407664211"},
        {"M5", M.M5, "2.04726315399787"},
        {"M1 q", M.M1 * q, "-94.0319967059983"},
        {"L2 q2", L.L2 * (q * q), "0.00800283391534151"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(RoundedLike(row.value, row.expected), Scientific(row.expected)) << row.name << " = " << Full(row.value);
    EXPECT_EQ(Fixed(footpoint.latitude, 12), "23.975645939343") << Full(footpoint.latitude);
    EXPECT_EQ(footpoint.iterations, 41);
}

TEST(Inverse, CentralMeridianGivesLongitude121AndTheFootpoint)
{
    const Extended northings[] = {-1e6L, 0, 2322852.445031L, 2450000, 2652335, 2876556, 3e6L, 9e6L, 2e7L};
    for (const Ellipsoid& e : kEllipsoids)
        for (Extended N : northings) {
            const Extended longitude = TM2ToLongitude(e, 250000, N);
            EXPECT_EQ(longitude, 121) << "N " << Full(N) << ": " << Full(longitude);
            const Footpoint footpoint =
                FootpointLatitude(DeriveArcCoefficients(DeriveConstants(e)), N * InverseScaleFactor);
            const Extended latitude = TM2ToLatitude(e, 250000, N);
            EXPECT_EQ(latitude, (footpoint.latitude * DegreeToRadian) / DegreeToRadian)
                << "N " << Full(N) << ": " << Full(latitude) << " footpoint " << Full(footpoint.latitude);
        }
}

struct SymmetricEastingRow {
    Extended offset;  // metres either side of 250000
    Extended northing;
};

static const SymmetricEastingRow kSymmetricEastingRows[] = {
    {2658, 2652335}, {50000, 2500000}, {100000, 2800000}, {200000, 2400000}, {75000, 1e6L},
};

TEST(Inverse, SymmetricEastings)
{
    for (const Ellipsoid& e : kEllipsoids)
        for (const SymmetricEastingRow& row : kSymmetricEastingRows) {
            const Extended west = 250000 - row.offset, east = 250000 + row.offset;
            const Extended latW = TM2ToLatitude(e, west, row.northing);
            const Extended latE = TM2ToLatitude(e, east, row.northing);
            const Extended lonW = TM2ToLongitude(e, west, row.northing);
            const Extended lonE = TM2ToLongitude(e, east, row.northing);
            EXPECT_EQ(latW, latE) << "±" << Full(row.offset) << " N " << Full(row.northing);
            EXPECT_LE(std::fabs((lonW - 121) + (lonE - 121)), 1e-14L)
                << "±" << Full(row.offset) << " N " << Full(row.northing) << ": " << Full(lonW) << " " << Full(lonE);
        }
}
