// The 18-digit intermediate from exact integer arithmetic against the reference that
// takes it from the C library's exact conversion: every text and every record must be
// the same, for random values over all magnitudes and precisions, for values exactly
// halfway between two 18-digit decimals and their neighbours, and at the edges of the
// extended range and of the integer arithmetic's own range.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text/number_text.h"
#include "number_text_reference.h"

static std::string Show(Extended x)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", x);
    return buffer;
}

static std::string Show(const DigitRecord& r)
{
    return std::string(r.negative ? "-" : "+") + "0." + r.digits + "E" + std::to_string(r.exponent) + " kind " +
           std::to_string(static_cast<int>(r.kind));
}

static bool Same(const DigitRecord& a, const DigitRecord& b)
{
    return a.kind == b.kind && a.negative == b.negative && a.exponent == b.exponent && a.digits == b.digits;
}

// Stops a table after a few reported mismatches instead of a million.
static constexpr int kReportedMismatches = 10;

// GeneralFormat against its reference for each value at each precision, both signs.
static void ExpectSameTexts(const std::vector<Extended>& values, const std::vector<int>& precisions)
{
    int mismatches = 0;
    for (Extended v : values) {
        for (Extended x : {v, -v}) {
            for (int p : precisions) {
                const std::string fast = GeneralFormat(x, p);
                const std::string reference = GeneralFormatByLibrary(x, p);
                if (fast != reference && ++mismatches <= kReportedMismatches)
                    ADD_FAILURE() << Show(x) << " precision " << p << ": \"" << fast << "\", reference \""
                                  << reference << "\"";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// x = m × 2^e, m a random 64-bit significand with its top bit set.
static Extended RandomValue(std::mt19937_64& random, int lowestBinaryExponent, int highestBinaryExponent)
{
    const std::uint64_t m = random() | (std::uint64_t{1} << 63);
    const int span = highestBinaryExponent - lowestBinaryExponent + 1;
    const int e = lowestBinaryExponent + static_cast<int>(random() % static_cast<std::uint64_t>(span));
    return std::ldexp(static_cast<Extended>(m), e - 63);
}

// A million values from 10^-10 to 10^50, both sides of where the integer arithmetic
// gives way, each at one precision drawn from 2..18 with the program's own 15, 9, 8
// and 7 drawn more often, and also out of range (clamped).
TEST(DigitGeneration, RandomValuesAllPrecisions)
{
    std::mt19937_64 random(20240612);
    static const int kPrecisions[] = {15, 9, 8, 7, 10, 15, 9, 8, 7, 2, 3, 4, 5, 6, 11, 12, 13, 14, 16, 17, 18, 0, 25};
    int mismatches = 0;
    for (int i = 0; i < 1000000; ++i) {
        const Extended x = RandomValue(random, -34, 167) * ((i & 1) ? -1 : 1);
        const int p = kPrecisions[random() % std::size(kPrecisions)];
        const std::string fast = GeneralFormat(x, p);
        const std::string reference = GeneralFormatByLibrary(x, p);
        if (fast != reference && ++mismatches <= kReportedMismatches)
            ADD_FAILURE() << Show(x) << " precision " << p << ": \"" << fast << "\", reference \"" << reference
                          << "\"";
    }
    EXPECT_EQ(mismatches, 0);
}

// Coordinates of Taiwan's range, where the converter spends its time: every precision.
TEST(DigitGeneration, CoordinatesAllPrecisions)
{
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Extended> values;
    for (int i = 0; i < 5000; ++i) {
        const Extended u = static_cast<Extended>(unit(random)) + static_cast<Extended>(unit(random)) * 0x1p-53L;
        values.push_back(150000 + 200000 * u);
        values.push_back(2400000 + 400000 * u);
        values.push_back(119.5L + 3 * u);
        values.push_back(21.5L + 4 * u);
        values.push_back(std::nextafter(static_cast<Extended>(static_cast<double>(values.back())), 0.0L));
    }
    ExpectSameTexts(values, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18});
}

// Records at every rounding position: precision and decimals as FixedFormat uses them.
TEST(DigitGeneration, RecordsWithDecimals)
{
    std::mt19937_64 random(6);
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        const Extended x = RandomValue(random, -40, 170) * ((i & 2) ? -1 : 1);
        const int precision = static_cast<int>(random() % 22) - 1;
        const int decimals = (i % 5 == 0) ? kUnlimitedDecimals : static_cast<int>(random() % 60) - 20;
        const DigitRecord fast = MakeDigitRecord(x, precision, decimals);
        const DigitRecord reference = MakeDigitRecordByLibrary(x, precision, decimals);
        if (!Same(fast, reference) && ++mismatches <= kReportedMismatches)
            ADD_FAILURE() << Show(x) << " precision " << precision << " decimals " << decimals << ": "
                          << Show(fast) << ", reference " << Show(reference);
    }
    EXPECT_EQ(mismatches, 0);
}

// Values exactly halfway between two 18-digit decimals, where the first rounding goes
// to the even neighbour, and the values next to them on both sides. A dyadic value
// M / 2^j (M odd) has j decimals ending in 5, so with 19 - j integer digits it has 19
// significant digits and the 19th is that 5; an odd 19-digit integer ending in 5 is
// one too.
TEST(DigitGeneration, TiesAtTheEighteenthDigit)
{
    std::mt19937_64 random(7);
    std::vector<Extended> values;
    for (int j = 0; j <= 18; ++j) {
        const int integerDigits = 19 - j;
        // M in [2^j × 10^(integerDigits-1), 2^j × 10^integerDigits): fits 64 bits.
        const Extended low = std::ldexp(std::pow(10.0L, integerDigits - 1), j);
        for (int k = 0; k < 400; ++k) {
            std::uint64_t M = static_cast<std::uint64_t>(low * (1 + 9 * static_cast<Extended>(random() >> 11) * 0x1p-53L));
            if (j == 0)
                M = M / 10 * 10 + 5;  // an integer ending in 5
            else
                M |= 1;
            const Extended tie = std::ldexp(static_cast<Extended>(M), -j);
            values.push_back(tie);
            values.push_back(std::nextafter(tie, 0.0L));
            values.push_back(std::nextafter(tie, std::numeric_limits<Extended>::infinity()));
        }
    }
    // A few of them checked by hand: the 18th digit goes to even.
    EXPECT_EQ(GeneralFormat(100000000000000000.5L, 18), "100000000000000000");
    EXPECT_EQ(GeneralFormat(100000000000000001.5L, 18), "100000000000000002");
    EXPECT_EQ(GeneralFormat(123456789012345677.5L, 18), "123456789012345678");
    EXPECT_EQ(GeneralFormat(123456789012345678.5L, 18), "123456789012345678");
    EXPECT_EQ(GeneralFormat(1000000000000000005.0L, 18), "1E18");
    EXPECT_EQ(GeneralFormat(1000000000000000015.0L, 18), "1.00000000000000002E18");
    ExpectSameTexts(values, {18, 17, 15, 9, 2});
}

// The second rounding, half away from zero at the precision, on values whose decimal
// expansion is short and exact: 0.5, 2.5, 247342.125, and so on.
TEST(DigitGeneration, TiesAtThePrecision)
{
    std::vector<Extended> values;
    for (int j = 1; j <= 12; ++j)
        for (std::uint64_t M : {1ULL, 3ULL, 5ULL, 25ULL, 99ULL, 12345ULL, 999999ULL, 1978736999ULL, 21204935455ULL})
            for (int scale = -20; scale <= 20; scale += 4)
                values.push_back(std::ldexp(static_cast<Extended>(M), scale - j));
    ExpectSameTexts(values, {2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 18});
}

// Powers of ten and their neighbours (where the decimal exponent changes, and where 18
// nines round up to a 1 followed by zeros), the ends of the integer arithmetic's range,
// and the ends of the extended range.
TEST(DigitGeneration, Boundaries)
{
    const Extended inf = std::numeric_limits<Extended>::infinity();
    std::vector<Extended> values;
    for (int p = -4950; p <= 4932; p += (p < -12 || p > 50) ? 37 : 1) {
        const Extended power = std::pow(10.0L, p);
        if (power == 0 || std::isinf(power))
            continue;
        Extended below = power, above = power;
        for (int step = 0; step < 3; ++step) {
            values.push_back(below);
            values.push_back(above);
            below = std::nextafter(below, 0.0L);
            above = std::nextafter(above, inf);
        }
        // 18 nines then a digit that rounds them up: 0.9999999999999999995 × 10^p and up.
        values.push_back(power * (1 - 0x1p-62L));
        values.push_back(power * (1 - 0x1p-61L));
    }
    for (Extended x : {std::numeric_limits<Extended>::max(), std::numeric_limits<Extended>::min(),
                       std::nextafter(std::numeric_limits<Extended>::min(), inf),
                       std::numeric_limits<Extended>::denorm_min(), 0.0L, inf,
                       std::numeric_limits<Extended>::quiet_NaN(), 1e-6L, 9.9e-7L, 1e44L, 1.1e44L, 5.421e-20L,
                       18446744073709551615.0L, 18446744073709551616.0L, 9223372036854775808.0L})
        values.push_back(x);
    ExpectSameTexts(values, {2, 7, 8, 9, 15, 17, 18});
    int mismatches = 0;
    for (Extended x : values)
        for (int decimals : {0, 2, 5, kUnlimitedDecimals})
            if (!Same(MakeDigitRecord(x, 18, decimals), MakeDigitRecordByLibrary(x, 18, decimals)) &&
                ++mismatches <= kReportedMismatches)
                ADD_FAILURE() << Show(x) << " decimals " << decimals;
    EXPECT_EQ(mismatches, 0);
}
