// The fast footpoint search against the reference bisection on a million random
// northings per ellipsoid: latitude bits, iteration counts and error flags. Most fall on
// the island, the rest anywhere from beyond the south pole to beyond the north pole;
// half are whole millimetres, as typed, half carry all 64 bits. Slow (the reference
// evaluates every arc): its own CTest entries, labelled "long".
#include <random>

#include <gtest/gtest.h>

#include "reference_inverse.h"

static constexpr int kNorthings = 1000000;

// The n-th northing of the fixed sequence, in metres (not yet reduced by the scale).
class RandomNorthings {
public:
    explicit RandomNorthings(unsigned seed) : random_(seed) {}

    Extended Next()
    {
        const Extended unit = static_cast<Extended>(random_()) * 0x1p-64L;  // [0, 1) with 64 bits
        const bool island = random_() % 5 != 0;
        Extended northing = island ? 2300000 + unit * 600000 : -10500000 + unit * 21000000;
        if (random_() % 2 == 0)
            northing = std::nearbyint(northing * 1000) / 1000;
        return northing;
    }

private:
    std::mt19937_64 random_;
};

static void CompareMillion(const Ellipsoid& e, unsigned seed)
{
    const ArcCoefficients arc = ArcOf(e);
    RandomNorthings northings(seed);
    int mismatches = 0;
    for (int i = 0; i < kNorthings; ++i) {
        const Extended reduced = northings.Next() * InverseScaleFactor;
        const SearchOutcome fast = Searched([&] { return FastFootpointLatitude(arc, reduced); });
        const SearchOutcome reference = Searched([&] { return FootpointLatitude(arc, reduced); });
        if (!SameSearch(fast, reference) && ++mismatches <= 10)
            ADD_FAILURE() << "N' " << Full(reduced) << ": fast " << Describe(fast) << ", reference "
                          << Describe(reference);
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FastFootpointRandom, MillionNorthingsGRS67)
{
    CompareMillion(kGRS67, 67);
}

TEST(FastFootpointRandom, MillionNorthingsGRS80)
{
    CompareMillion(kGRS80, 80);
}
