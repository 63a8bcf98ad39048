// The fast footpoint search against the reference bisection, bit for bit (latitude,
// iteration count, error flags), on the northings where a step's outcome is hardest to
// know: within a nanometre of the tolerance at a mid the search visits, at the ends of the
// search intervals, beyond the poles and beyond every number. And the combined inverse
// call against the two public functions and against the reference.
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "reference_inverse.h"

static const Ellipsoid* const kBothEllipsoids[] = {&kGRS67, &kGRS80};

static const char* NameOf(const Ellipsoid* e)
{
    return e == &kGRS67 ? "GRS67" : "GRS80";
}

static void ExpectSameFootpoint(const ArcCoefficients& arc, Extended reduced, const std::string& what)
{
    const SearchOutcome fast = Searched([&] { return FastFootpointLatitude(arc, reduced); });
    const SearchOutcome reference = Searched([&] { return FootpointLatitude(arc, reduced); });
    EXPECT_TRUE(SameSearch(fast, reference))
        << what << ", N' " << Full(reduced) << ": fast " << Describe(fast) << ", reference " << Describe(reference);
}

static void ExpectSameBisection(const ArcCoefficients& arc, Extended reduced, FootpointBracket bracket,
                                const std::string& what)
{
    const SearchOutcome fast = Searched([&] { return FastBisectFootpoint(arc, reduced, bracket); });
    const SearchOutcome reference = Searched([&] { return BisectFootpoint(arc, reduced, bracket); });
    EXPECT_TRUE(SameSearch(fast, reference))
        << what << ", N' " << Full(reduced) << " on [" << Full(bracket.lower) << ", " << Full(bracket.upper)
        << "]: fast " << Describe(fast) << ", reference " << Describe(reference);
}

// The mids the reference bisection visits, in order: its loop with a record of each mid.
// Only used to construct northings that put a visited mid at the tolerance.
static std::vector<Extended> VisitedMids(const ArcCoefficients& arc, Extended reduced, FootpointBracket bracket)
{
    std::vector<Extended> mids;
    Extended lower = bracket.lower, upper = bracket.upper;
    for (int i = 0; i < FootpointIterationLimit; ++i) {
        const Extended mid = (lower + upper) * 0.5;
        mids.push_back(mid);
        const Extended d = MeridianArc(arc, mid) - reduced;
        if (std::fabs(static_cast<double>(d)) <= ArcTolerance)
            break;
        (d > 0 ? upper : lower) = mid;
    }
    return mids;
}

struct HardBase {
    Extended northing;  // whose bisection supplies the mids
    FootpointBracket bracket;
};

// A northing in each search interval, the island's several times.
static const HardBase kHardBases[] = {
    {2322900, kFootpointBracket}, {2652335, kFootpointBracket}, {2765432.1L, kFootpointBracket},
    {2876500, kFootpointBracket}, {1234567.8L, kTropicBracket},  {-2000000, kTropicBracket},
    {-6000000, kSouthOfTropicBracket}, {5000000, kNorthOfBracket}, {9990000, kNorthOfBracket},
};

// Distances of the arc from N' beyond the tolerance at the chosen mid: inside (negative)
// and outside (positive) it by up to a nanometre, and exactly on it.
static const Extended kToleranceOffsets[] = {-1e-9L, -3e-10L, -1e-11L, -1e-12L, 0, 1e-12L, 1e-11L, 3e-10L, 1e-9L};

TEST(FastFootpoint, ArcWithinANanometreOfTheToleranceAtAVisitedMid)
{
    const Extended tolerance = ArcTolerance;
    for (const Ellipsoid* e : kBothEllipsoids) {
        const ArcCoefficients arc = ArcOf(*e);
        int cases = 0, atTolerance = 0;
        for (const HardBase& base : kHardBases) {
            const std::vector<Extended> mids = VisitedMids(arc, base.northing * InverseScaleFactor, base.bracket);
            for (const Extended mid : mids)
                for (const int side : {1, -1})
                    for (const Extended offset : kToleranceOffsets) {
                        // d = S(mid) − N' is then −side × (tolerance + offset) at that mid.
                        const Extended reduced = MeridianArc(arc, mid) + side * (tolerance + offset);
                        ++cases;
                        // The case is what it claims when the search on this N' visits the
                        // mid: count them, so the table cannot quietly test nothing.
                        const std::vector<Extended> visited = VisitedMids(arc, reduced, base.bracket);
                        for (const Extended v : visited)
                            if (v == mid) {
                                const double d = std::fabs(static_cast<double>(MeridianArc(arc, mid) - reduced));
                                atTolerance += std::fabs(d - ArcTolerance) <= 1.01e-9;
                                break;
                            }
                        const std::string what = std::string(NameOf(e)) + " mid " + Full(mid) + " offset " + Full(offset);
                        ExpectSameBisection(arc, reduced, base.bracket, what);
                        ExpectSameFootpoint(arc, reduced, what);
                    }
        }
        EXPECT_GE(atTolerance, cases * 99 / 100) << NameOf(e) << ": of " << cases << " northings only " << atTolerance
                                               << " put a visited mid within a nanometre of the tolerance";
    }
}

// N' = S(latitude) + offset at the ends of the search intervals, the equator and the
// poles: on the arc, one ulp either side, at the tolerance and a nanometre either side of
// it, and farther.
static const Extended kBoundLatitudes[] = {21, 26, -21, 0, 90, -90, -26};
static const Extended kBoundOffsets[] = {
    0, 1e-13L, -1e-13L, 1e-7L, -1e-7L, 1.01e-7L, -1.01e-7L, 0.99e-7L, -0.99e-7L,
    1e-6L, -1e-6L, 2e-6L, -2e-6L, 0.5L, -0.5L, 100, -100,
};

TEST(FastFootpoint, NorthingsAtTheIntervalEnds)
{
    for (const Ellipsoid* e : kBothEllipsoids) {
        const ArcCoefficients arc = ArcOf(*e);
        for (const Extended latitude : kBoundLatitudes) {
            const Extended S = MeridianArc(arc, latitude);
            std::vector<Extended> northings{S, std::nextafter(S, Extended(1e9)), std::nextafter(S, Extended(-1e9))};
            for (const Extended offset : kBoundOffsets)
                northings.push_back(S + offset);
            for (const Extended reduced : northings) {
                const std::string what = std::string(NameOf(e)) + " at the arc of " + Full(latitude);
                ExpectSameFootpoint(arc, reduced, what);
                for (const FootpointBracket bracket : {kFootpointBracket, kTropicBracket, kSouthOfTropicBracket, kNorthOfBracket})
                    ExpectSameBisection(arc, reduced, bracket, what);
            }
        }
    }
}

// Beyond the arc at either pole, beyond the double range, and not numbers at all.
static const Extended kOutsideNorthings[] = {
    10001965.8L, 10002001.3L, 10002500, 1.1e7L, 2e7L, 2.0000001e7L, 5e8L, 1e300L, 1.0000001e300L, 1e301L, 1e400L,
    std::numeric_limits<Extended>::max(), std::numeric_limits<Extended>::infinity(),
    std::numeric_limits<Extended>::quiet_NaN(),
};

TEST(FastFootpoint, NorthingsOutsideEveryInterval)
{
    for (const Ellipsoid* e : kBothEllipsoids) {
        const ArcCoefficients arc = ArcOf(*e);
        for (const Extended outside : kOutsideNorthings)
            for (const Extended reduced : {outside, -outside}) {
                const std::string what = std::string(NameOf(e)) + " outside";
                ExpectSameFootpoint(arc, reduced, what);
                for (const FootpointBracket bracket : {kFootpointBracket, kNorthOfBracket, kSouthOfTropicBracket})
                    ExpectSameBisection(arc, reduced, bracket, what);
            }
    }
}

// Intervals that are not the program's own: fractional ends (no steps skipped), ends
// beyond the poles (handed to the reference), a northing outside the interval that pins
// the search to one end, and an interval two ulps wide.
TEST(FastFootpoint, OtherIntervals)
{
    const Extended narrowLower = 23.5L;
    const FootpointBracket brackets[] = {
        {23.4L, 23.6L}, {-0.3L, 47.25L}, {-100, 100}, {21, 26}, {0, 90},
        {narrowLower, std::nextafter(std::nextafter(narrowLower, Extended(30)), Extended(30))},
    };
    const Extended northings[] = {0, -5000, 2500000, 2600000, 2650000.25L, 3e6L, 1e7L, -1e7L, 5e8L};
    for (const Ellipsoid* e : kBothEllipsoids) {
        const ArcCoefficients arc = ArcOf(*e);
        for (const FootpointBracket& bracket : brackets)
            for (const Extended northing : northings)
                ExpectSameBisection(arc, northing * InverseScaleFactor, bracket, NameOf(e));
        // The narrow interval around the arc of its lower end, to the ulp.
        const Extended S = MeridianArc(arc, narrowLower);
        for (const Extended offset : {Extended(0), Extended(1e-7L), Extended(-1e-7L), Extended(1e-6L)})
            ExpectSameBisection(arc, S + offset, brackets[5], NameOf(e));
    }
}

TEST(FastFootpoint, RandomNorthingsOnTheIsland)
{
    // A quick sample of the long random comparison (fast_footpoint_random_test) in the
    // everyday suite.
    std::mt19937_64 random(4711);
    std::uniform_real_distribution<double> north(2300000, 2900000);
    for (const Ellipsoid* e : kBothEllipsoids) {
        const ArcCoefficients arc = ArcOf(*e);
        for (int i = 0; i < 5000; ++i)
            ExpectSameFootpoint(arc, Extended(north(random)) * InverseScaleFactor, NameOf(e));
    }
}

// Eastings from the central meridian out to where the series' powers overflow, and
// beyond every number; northings inside, outside and beyond everything.
static const Extended kCombinedEastings[] = {
    250000, 247342, 252658, 150000, 350000, -1e6L, 5e6L, 1e9L, 1e100L, 1e829L, -1e829L, 1e993L, -1e993L,
    std::numeric_limits<Extended>::infinity(), -std::numeric_limits<Extended>::infinity(),
    std::numeric_limits<Extended>::quiet_NaN(),
};
static const Extended kCombinedNorthings[] = {
    2652335, 2322852.445031L, 2876556.7L, 0, -5000, 1e7L, -2e7L, 1e400L,
    std::numeric_limits<Extended>::infinity(), std::numeric_limits<Extended>::quiet_NaN(),
};

TEST(CombinedInverse, EqualsThePublicPairAndTheReference)
{
    for (const bool silenced : {false, true})
        for (const Ellipsoid* e : kBothEllipsoids)
            for (const Extended E : kCombinedEastings)
                for (const Extended N : kCombinedNorthings) {
                    ResetFloatingPointEnvironment();
                    if (silenced)
                        SilenceInvalidOperation();
                    const PointOutcome combined = CombinedOf(*e, E, N);
                    const PointOutcome pair = PairOf(TM2ToLatitude, TM2ToLongitude, *e, E, N);
                    const PointOutcome reference = PairOf(ReferenceLatitude, ReferenceLongitude, *e, E, N);
                    const std::string where = std::string(NameOf(e)) + (silenced ? " silenced" : "") + " ("
                                            + Full(E) + ", " + Full(N) + ")";
                    EXPECT_TRUE(SamePoint(combined, pair))
                        << where << ": combined " << Describe(combined) << ", pair " << Describe(pair);
                    EXPECT_TRUE(SamePoint(pair, reference))
                        << where << ": pair " << Describe(pair) << ", reference " << Describe(reference);
                }
    ResetFloatingPointEnvironment();
}

struct ErrorRow {
    Extended easting;
    Extended northing;
    const char* error;  // what the combined call, like the pair, raises
};

TEST(CombinedInverse, RaisesThePairsError)
{
    // The latitude's error wins where both raise, and nothing of the longitude is computed.
    const ErrorRow rows[] = {
        {1e829L, 2652335, "Floating point overflow"},  // q⁶ in the latitude
        {1e993L, 2652335, "Floating point overflow"},  // q⁵ as well
        {250000, 1e400L, "Floating point overflow"},   // the footpoint search, in both
        {std::numeric_limits<Extended>::infinity(), 2652335, "Invalid floating point operation"},
        {250000, std::numeric_limits<Extended>::quiet_NaN(), "Invalid floating point operation"},
        {300000, 2652335, ""},
    };
    for (const ErrorRow& row : rows) {
        ResetFloatingPointEnvironment();
        const PointOutcome combined = CombinedOf(kGRS67, row.easting, row.northing);
        EXPECT_EQ(combined.error, row.error) << "(" << Full(row.easting) << ", " << Full(row.northing) << ")";
    }
    ResetFloatingPointEnvironment();
}

TEST(CombinedInverse, RandomGridPoints)
{
    std::mt19937_64 random(815);
    std::uniform_real_distribution<double> east(-500000, 1000000), north(-1.1e7, 1.1e7), island(2300000, 2900000);
    for (const Ellipsoid* e : kBothEllipsoids)
        for (int i = 0; i < 4000; ++i) {
            const Extended E = east(random);
            const Extended N = i % 4 == 0 ? north(random) : island(random);
            const PointOutcome combined = CombinedOf(*e, E, N);
            const PointOutcome reference = PairOf(ReferenceLatitude, ReferenceLongitude, *e, E, N);
            EXPECT_TRUE(SamePoint(combined, reference)) << NameOf(e) << " (" << Full(E) << ", " << Full(N)
                                                        << "): combined " << Describe(combined) << ", reference "
                                                        << Describe(reference);
        }
}
