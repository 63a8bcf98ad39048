// Writing numbers: the digit record, the general and fixed formats, whole numbers and
// degrees/minutes/seconds, each as a table of values and the exact texts they give.
#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "geodesy/floating_point.h"
#include "text/number_text.h"
#include "number_text_reference.h"

static std::string Show(Extended x)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", x);
    return buffer;
}

static const Extended kInf = std::numeric_limits<Extended>::infinity();
static const Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
static const Extended kMax = std::numeric_limits<Extended>::max();
static const Extended kMin = std::numeric_limits<Extended>::min();

class WithMark : public ::testing::Test {
protected:
    void TearDown() override { SetDecimalMark("."); }
};

struct FormatRow {
    Extended value;
    int precision;
    const char* text;
};

TEST(GeneralFormat, WritesTheDefinedDigits)
{
    const FormatRow rows[] = {
        {121.123456789L, 9, "121.123457"},
        {23.9876543L, 8, "23.987654"},
        {247342.1234L, 9, "247342.123"},
        {2652335.98765L, 10, "2652335.988"},
        {247342.1234L, 8, "247342.12"},
        {23.999999999L, 8, "24"},
        {120.0L, 9, "120"},
        {0.0L, 2, "0"},
        {0.0L, 9, "0"},
        {-0.0L, 9, "0"},
        {-0.0L, 18, "0"},
        {-5.5L, 8, "-5.5"},
        {0.0001L, 9, "0.0001"},
        {0.00001L, 9, "1E-5"},
        {0.000012345L, 9, "1.2345E-5"},
        {1234567890.4L, 9, "1.23456789E9"},
        {999999999.7L, 9, "1E9"},
        {1.0L / 3, 15, "0.333333333333333"},
        {0.1, 15, "0.1"},
        {kNaN, 9, "NAN"},
        {-kNaN, 15, "NAN"},
        {kInf, 9, "INF"},
        {-kInf, 9, "-INF"},
        // Scientific form from above P, with exponents of any width.
        {1234567890.0L, 10, "1234567890"},
        {12345678901.0L, 10, "1.23456789E10"},
        {-0.000123456L, 8, "-0.000123456"},
        {1e300L, 15, "1E300"},
        {-2.5e-300L, 15, "-2.5E-300"},
        {1e-7L, 9, "1E-7"},
        // Precision is clamped to 2..18.
        {123.456L, 1, "1.2E2"},
        {123.456L, -5, "1.2E2"},
        {0.1, 25, "0.100000000000000006"},
        // The 18 digits round ties to even on the exact value ...
        {1000000000000000005.0L, 18, "1E18"},
        {1000000000000000015.0L, 18, "1.00000000000000002E18"},
        // ... and the shorter precision then rounds half away from zero on those digits,
        // so a value just below the half is first lifted to it.
        {0.125L, 2, "0.13"},
        {-0.125L, 2, "-0.13"},
        {0.125L - 0x1p-66L, 2, "0.13"},
        {0.125L - 0x1p-59L, 2, "0.12"},
        // Extremes of the format: the largest value, the smallest normal, a subnormal.
        {kMax, 18, "1.18973149535723177E4932"},
        {kMin, 18, "3.36210314311209351E-4932"},
        {kMin / 4, 18, "0"},
        {-kMin / 4, 9, "0"},
    };
    for (const FormatRow& row : rows)
        EXPECT_EQ(GeneralFormat(row.value, row.precision), row.text)
            << "value " << Show(row.value) << " precision " << row.precision;
}

struct FixedRow {
    Extended value;
    int precision;
    int decimals;
    const char* text;
};

TEST(FixedFormat, WritesExactlyTheDecimals)
{
    const FixedRow rows[] = {
        {24.4416L, 4, 2, "24.44"},
        {5.678L, 4, 2, "5.68"},
        {7.0L, 4, 2, "7.00"},
        {0.5L, 4, 2, "0.50"},
        {0.0L, 4, 2, "0.00"},
        {-0.004L, 4, 2, "0.00"},
        {-0.25L, 4, 2, "-0.25"},
        {59.996L, 4, 2, "60.00"},
        {0.005L, 4, 2, "0.01"},
        {0.0449L, 4, 2, "0.04"},
        {99.996L, 4, 2, "100.00"},
        {12345.678L, 4, 2, "1.235E4"},
        {9999.996L, 4, 2, "1E4"},
        {2.5L, 4, 0, "3"},
        {-2.5L, 4, 0, "-3"},
        {0.000123L, 18, 6, "0.000123"},
        {1.5L, 18, 25, "1.500000000000000000"},
        {kNaN, 4, 2, "NAN"},
        {-kInf, 4, 2, "-INF"},
    };
    for (const FixedRow& row : rows)
        EXPECT_EQ(FixedFormat(row.value, row.precision, row.decimals), row.text)
            << "value " << Show(row.value) << " precision " << row.precision << " decimals "
            << row.decimals;
}

TEST(MakeDigitRecord, KeepsDigitsAndExponentSeparate)
{
    struct Row {
        Extended value;
        int precision;
        int decimals;
        DigitRecord::Kind kind;
        bool negative;
        int exponent;
        const char* digits;
    };
    using K = DigitRecord::Kind;
    const Row rows[] = {
        {247342.0L, 18, kUnlimitedDecimals, K::Finite, false, 6, "247342"},
        {0.00012L, 18, kUnlimitedDecimals, K::Finite, false, -3, "12"},
        {-0.0L, 18, kUnlimitedDecimals, K::Finite, false, 0, ""},
        {-0.004L, 4, 2, K::Finite, false, 0, ""},
        {-0.0001L, 4, 2, K::Finite, false, 0, ""},  // r = E + D < 0
        {-9.5L, 1, kUnlimitedDecimals, K::Finite, true, 2, "1"},
        {0.6L, 0, kUnlimitedDecimals, K::Finite, false, 1, "1"},
        {0.4L, 0, kUnlimitedDecimals, K::Finite, false, 0, ""},
        {-kInf, 9, kUnlimitedDecimals, K::Infinity, true, 0, ""},
        {-kNaN, 9, kUnlimitedDecimals, K::NotANumber, false, 0, ""},
    };
    for (const Row& row : rows) {
        const DigitRecord rec = MakeDigitRecord(row.value, row.precision, row.decimals);
        EXPECT_TRUE(rec.kind == row.kind && rec.negative == row.negative &&
                    rec.exponent == row.exponent && rec.digits == row.digits)
            << "value " << Show(row.value) << " precision " << row.precision << ": got "
            << (rec.negative ? "-" : "+") << "0." << rec.digits << "E" << rec.exponent
            << " kind " << int(rec.kind);
    }
}

// The integer digit path against glibc's exact conversion, over magnitudes from 10^-9
// to 10^50 (both sides of where the integer path gives way to printf) and random
// 64-bit significands, plus the neighbours of powers of ten.
TEST(MakeDigitRecord, EighteenDigitsMatchTheExactConversion)
{
    const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const locale_t previous = uselocale(c);
    std::mt19937_64 random(20240611);
    int mismatches = 0;
    for (int i = 0; i < 40000 && mismatches < 10; ++i) {
        Extended x;
        if (i % 4 == 0) {
            const int p = static_cast<int>(random() % 60) - 9;
            x = std::nextafter(std::pow(10.0L, p), (i & 4) ? kInf : 0.0L);
        } else {
            const std::uint64_t m = random() | (1ULL << 63);
            x = std::ldexp(static_cast<Extended>(m), static_cast<int>(random() % 230) - 94);
        }
        char text[64];
        std::snprintf(text, sizeof text, "%.17Le", x);
        std::string digits = std::string(1, text[0]) + std::string(text + 2, 17);
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        const int exponent = std::atoi(text + 20) + 1;
        const DigitRecord rec = MakeDigitRecord(x, 18, kUnlimitedDecimals);
        if (rec.digits != digits || rec.exponent != exponent) {
            ++mismatches;
            ADD_FAILURE() << Show(x) << ": 0." << rec.digits << "E" << rec.exponent
                          << ", exact " << text;
        }
    }
    uselocale(previous);
    freelocale(c);
}

// Sets the process locale to the user's, as the window's toolkit does, here one whose
// decimal point is the two-byte U+066B; builds it with localedef when not installed.
static bool SetForeignLocale()
{
    if (std::setlocale(LC_ALL, "ps_AF.UTF-8"))
        return true;
    const std::string dir = ::testing::TempDir() + "kartovel-locales";
    const std::string command = "mkdir -p '" + dir + "' && localedef -i ps_AF -f UTF-8 '" +
                                dir + "/ps_AF.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return false;
    setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_ALL, "ps_AF.UTF-8") != nullptr;
}

TEST(GeneralFormat, IgnoresTheProcessLocale)
{
    if (!SetForeignLocale())
        GTEST_SKIP() << "no foreign locale can be had (Debian package locales)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    const std::string probeText = probe;
    const std::string wide = GeneralFormat(1e-300L, 15);
    const std::string plain = GeneralFormat(1.5e-300L, 15);
    const std::string usual = GeneralFormat(121.5L, 9);
    const std::string dms = FormatDms(-23.5L);
    const bool parsed = NumberFromText("1.5") == 1.5L;
    bool foreignRefused = false;
    try {
        NumberFromText("1\xD9\xAB" "5");
    } catch (const ParseError&) {
        foreignRefused = true;
    }
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(probeText, "1\xD9\xAB" "5") << "the locale did not take effect";
    EXPECT_EQ(wide, "1E-300");
    EXPECT_EQ(plain, "1.5E-300");
    EXPECT_EQ(usual, "121.5");
    EXPECT_EQ(dms, "-23°-30’0.00");
    EXPECT_TRUE(parsed);
    EXPECT_TRUE(foreignRefused);
}

TEST_F(WithMark, CommaMarkInEveryFormat)
{
    SetDecimalMark(",");
    EXPECT_EQ(GeneralFormat(121.123456789L, 9), "121,123457");
    EXPECT_EQ(GeneralFormat(0.000012345L, 9), "1,2345E-5");
    EXPECT_EQ(GeneralFormat(0.0001L, 9), "0,0001");
    EXPECT_EQ(FixedFormat(24.4416L, 4, 2), "24,44");
    EXPECT_EQ(FixedFormat(12345.678L, 4, 2), "1,235E4");
    EXPECT_EQ(FormatDms(121.123456L), "121°7’24,44");
    SetDecimalMark("\xD9\xAB");  // U+066B, two bytes
    EXPECT_EQ(GeneralFormat(-3.25L, 9), "-3\xD9\xAB" "25");
}

TEST(IntegerText, PlainDecimalDigits)
{
    const std::pair<std::int32_t, const char*> rows[] = {
        {0, "0"}, {7, "7"}, {-45, "-45"}, {2147483647, "2147483647"},
        {std::numeric_limits<std::int32_t>::min(), "-2147483648"}};
    for (const auto& [n, text] : rows)
        EXPECT_EQ(IntegerText(n), text) << n;
}

TEST(TruncToInt, LowThirtyTwoBitsOfTheTruncation)
{
    const std::pair<Extended, std::int32_t> rows[] = {
        {1.9L, 1},
        {-1.9L, -1},
        {-0.5L, 0},
        {2147483647.9L, 2147483647},
        {2147483648.0L, -2147483647 - 1},
        {4294967301.5L, 5},
        {-4294967301.5L, -5},
        {9223372036854774784.0L, -1024},  // 2^63 - 1024
        {9223372036854775808.0L, 0},      // 2^63: out of range
        {-9223372036854775808.0L, 0},     // -2^63 itself: the low half is 0
        {1e30L, 0},
        {kInf, 0},
        {-kInf, 0},
        {kNaN, 0},
    };
    for (const auto& [value, expected] : rows)
        EXPECT_EQ(TruncToInt(value), expected) << Show(value);
}

TEST(TruncToInt, RaisesNothingAndSilencesInvalidOperation)
{
    ResetFloatingPointEnvironment();
    EXPECT_FALSE(InvalidOperationSilenced());
    for (Extended x : {kNaN, kInf, -kInf, 1e30L, 2.5L}) {
        std::feclearexcept(FE_ALL_EXCEPT);
        TruncToInt(x);
        EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_OVERFLOW | FE_DIVBYZERO), 0) << Show(x);
    }
    EXPECT_TRUE(InvalidOperationSilenced());
    ResetFloatingPointEnvironment();
}

TEST(FormatDms, EachPartCutSeparately)
{
    const std::pair<Extended, const char*> rows[] = {
        {121.123456L, "121°7’24.44"},
        {23.5L, "23°30’0.00"},
        {23.999999L, "23°59’60.00"},
        {-0.5L, "0°-30’0.00"},
        {-23.75L, "-23°-45’0.00"},
        {-121.123456L, "-121°-7’-24.44"},
        {121.0L, "121°0’0.00"},
        {0.0L, "0°0’0.00"},
        {kNaN, "0°0’NAN"},
    };
    for (const auto& [value, text] : rows)
        EXPECT_EQ(FormatDms(value), text) << Show(value);
}
