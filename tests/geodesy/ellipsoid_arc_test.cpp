// Ellipsoid rows, the constants derived from them, the grid and angle constants, the
// arc series factors and the meridian arc.
#include <cfenv>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "geodesy/ellipsoid.h"
#include "geodesy/inverse_series.h"
#include "geodesy/meridian_arc.h"
#include "number_strings.h"

struct DigitsRow {
    const char* name;
    Extended value;
    const char* expected;  // every written digit must match
};

static void ExpectDigits(const DigitsRow& row)
{
    EXPECT_EQ(RoundedLike(row.value, row.expected), Scientific(row.expected))
        << row.name << " = " << Full(row.value);
}

TEST(Constants, HeldValues)
{
    const DigitsRow rows[] = {
        {"GRS67 a", kGRS67.SemiMajorAxis, "6378160"},
        {"GRS80 a", kGRS80.SemiMajorAxis, "6378137"},
        {"GRS67 1/f", kGRS67.InverseFlattening, "298.2471669999999903666321"},
        {"GRS80 1/f", kGRS80.InverseFlattening, "298.2572221010000248497818"},
        {"ScaleFactor", ScaleFactor, "0.99990000000000001101"},
        {"InverseScaleFactor", InverseScaleFactor, "1.000100010001000088995"},
        {"DegreeToRadian", DegreeToRadian, "0.0174532925199432954743716805979"},
        {"SinOneSecond", SinOneSecond(), "4.84813681107636772703e-6"},
    };
    for (const DigitsRow& row : rows)
        ExpectDigits(row);
    EXPECT_EQ(kEllipsoids[0].InverseFlattening, kGRS67.InverseFlattening);
    EXPECT_EQ(kEllipsoids[1].InverseFlattening, kGRS80.InverseFlattening);
}

TEST(Constants, DerivedFromTheEllipsoid)
{
    const EllipsoidConstants g67 = DeriveConstants(kGRS67);
    const EllipsoidConstants g80 = DeriveConstants(kGRS80);
    const DigitsRow rows[] = {
        {"GRS67 b", g67.b, "6356774.51606009723"},
        {"GRS67 n", g67.n, "0.00167927710291194817"},
        {"GRS67 e2", g67.e2, "0.00669460533813621532"},
        {"GRS67 e'2", g67.ep2, "0.00673972513802279356"},
        {"GRS80 b", g80.b, "6356752.31414035585"},
        {"GRS80 n", g80.n, "0.00167922039462874454"},
        {"GRS80 e2", g80.e2, "0.00669438002290078705"},
        {"GRS80 e'2", g80.ep2, "0.00673949677547895766"},
    };
    for (const DigitsRow& row : rows)
        ExpectDigits(row);
}

TEST(ArcCoefficients, FactorsAndProducts)
{
    const ArcCoefficients g67 = DeriveArcCoefficients(DeriveConstants(kGRS67));
    const ArcCoefficients g80 = DeriveArcCoefficients(DeriveConstants(kGRS80));
    const DigitsRow rows[] = {
        {"GRS67 R0", g67.R0, "6367471.74705002917"},
        {"GRS67 B2", g67.B2, "-0.00251891299064521103"},
        {"GRS67 B4", g67.B4, "0.00000264371963647918705"},
        {"GRS67 B6", g67.B6, "-3.45297327635278024e-9"},
        {"GRS67 B8", g67.B8, "4.89249125809056903e-12"},
        {"GRS67 A1", g67.A1, "111133.347013738539"},
        {"GRS67 A2", g67.A2, "-16039.1073012106756"},
        {"GRS67 A4", g67.A4, "16.8338100924025972"},
        {"GRS67 A6", g67.A6, "-0.0219867097804951008"},
        {"GRS67 A8", g67.A8, "0.0000311527998585809507"},
        {"GRS80 R0", g80.R0, "6367449.14577104753"},
        {"GRS80 B2", g80.B2, "-0.00251882792849025365"},
        {"GRS80 B4", g80.B4, "0.00000264354108576965199"},
        {"GRS80 B6", g80.B6, "-3.45262347339292148e-9"},
        {"GRS80 B8", g80.B8, "4.89183042438794956e-12"},
        {"GRS80 A1", g80.A1, "111132.952547005148"},
        {"GRS80 A2", g80.A2, "-16038.5087416095228"},
        {"GRS80 A4", g80.A4, "16.8326134283946380"},
        {"GRS80 A6", g80.A6, "-0.0219844043863248249"},
        {"GRS80 A8", g80.A8, "0.0000311484814570258703"},
    };
    for (const DigitsRow& row : rows)
        ExpectDigits(row);
}

struct ArcRow {
    Extended latitude;
    const char* grs67;  // metres, 6 decimals
    const char* grs80;
};

static const ArcRow kArcRows[] = {
    {0, "0.000000", "0.000000"},
    {21, "2323084.753506", "2323076.869031"},
    {23.5, "2599920.173290", "2599911.339888"},
    {24, "2655297.677396", "2655288.653822"},
    {26, "2876844.358142", "2876834.572518"},
    {90, "10002001.231236", "10001965.729230"},
    {-24, "-2655297.677396", "-2655288.653822"},
};

TEST(MeridianArc, CheckValues)
{
    for (const ArcRow& row : kArcRows) {
        const Extended s67 = MeridianArc(kGRS67, row.latitude);
        const Extended s80 = MeridianArc(kGRS80, row.latitude);
        EXPECT_EQ(Fixed(s67, 6), row.grs67) << "GRS67 at " << Full(row.latitude) << ": " << Full(s67);
        EXPECT_EQ(Fixed(s80, 6), row.grs80) << "GRS80 at " << Full(row.latitude) << ": " << Full(s80);
    }
}

TEST(MeridianArc, ZeroAtTheEquatorAndOdd)
{
    const Extended latitudes[] = {0.5L, 21, 23.975645939343L, 45, 89.9L, 90, 135, 1e5L};
    for (const Ellipsoid& e : kEllipsoids) {
        EXPECT_EQ(MeridianArc(e, 0), 0);
        for (Extended phi : latitudes)
            EXPECT_EQ(MeridianArc(e, -phi), -MeridianArc(e, phi))
                << "at " << Full(phi) << ": " << Full(MeridianArc(e, phi)) << " " << Full(MeridianArc(e, -phi));
    }
}

TEST(MeridianArc, HarmonicsVanishAtThePole)
{
    for (const Ellipsoid& e : kEllipsoids) {
        const ArcCoefficients arc = DeriveArcCoefficients(DeriveConstants(e));
        const Extended s = MeridianArc(arc, 90);
        EXPECT_LE(std::fabs(s - arc.A1 * 90), 1e-8L) << Full(s) << " vs " << Full(arc.A1 * 90);
    }
}

TEST(MeridianArc, EllipsoidChangesTheArc)
{
    // About 7.9 m shorter at 21 degrees on GRS80.
    const Extended difference = MeridianArc(kGRS67, 21) - MeridianArc(kGRS80, 21);
    EXPECT_EQ(Fixed(difference, 1), "7.9") << Full(difference);
}

struct HugeLatitudeRow {
    Extended latitude;
    bool nan;  // the sine of 8φ is refused from about 6.45e16 degrees on
};

static const HugeLatitudeRow kHugeLatitudeRows[] = {
    {1e10L, false},
    {6.4e16L, false},
    {6.5e16L, true},
    {-6.5e16L, true},
    {1e300L, true},
};

TEST(MeridianArc, HugeLatitudesGiveQuietNaN)
{
    for (const HugeLatitudeRow& row : kHugeLatitudeRows) {
        std::feclearexcept(FE_ALL_EXCEPT);
        const Extended s = MeridianArc(kGRS67, row.latitude);
        EXPECT_EQ(std::isnan(s), row.nan) << Full(row.latitude) << ": " << Full(s);
        EXPECT_EQ(std::fetestexcept(FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID), 0) << Full(row.latitude);
    }
}
