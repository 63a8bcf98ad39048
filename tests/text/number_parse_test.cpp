// Reading numbers: accepted and refused texts, the value against the C library's
// correctly rounded reading where the one multiplication or division is exact, the
// decimal mark, and the round trip through the 18-digit general format.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text/number_text.h"

static std::string Show(Extended x)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", x);
    return buffer;
}

// The correctly rounded extended value of a text with "." as decimal point.
static Extended ExactReading(const std::string& text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return strtold_l(text.c_str(), nullptr, c);
}

static std::string ErrorOf(const std::string& text)
{
    try {
        const Extended value = NumberFromText(text);
        return "accepted as " + Show(value);
    } catch (const ParseError& error) {
        return error.what();
    }
}

static std::string Refusal(const std::string& text)
{
    return "'" + text + "' is not a valid floating point value";
}

class WithMark : public ::testing::Test {
protected:
    void TearDown() override { SetDecimalMark("."); }
};

struct ValueRow {
    std::string text;
    Extended value;
};

TEST(NumberFromText, ReadsAcceptedTexts)
{
    // Expected values are exact in extended precision: tolerance 0.
    const ValueRow rows[] = {
        {"247342", 247342.0L},
        {"  2652335  ", 2652335.0L},
        {"+23.5", 23.5L},
        {"-23.5", -23.5L},
        {"1.215e2", 121.5L},
        {"121.", 121.0L},
        {".", 0.0L},
        {"-.", 0.0L},
        {" .5", 0.5L},
        {"5e", 5.0L},
        {"5e-", 5.0L},
        {"5E+", 5.0L},
        {"25e-1", 2.5L},
        {"007", 7.0L},
        {"9223372036854775807", 9223372036854775807.0L},  // 19 digits, still exact
        {"1E4608", 1e4608L},
        {"0." + std::string(200, '0') + "1e-4999", 0.0L},  // exponent -5200: zero
        {"1e-4999", 0.0L},                                  // underflows to zero
    };
    for (const ValueRow& row : rows) {
        Extended value = -1;
        EXPECT_NO_THROW(value = NumberFromText(row.text)) << row.text;
        EXPECT_EQ(value, row.value) << "'" << row.text << "' gave " << Show(value);
    }
    EXPECT_TRUE(std::signbit(NumberFromText("-0")));
    const Extended subnormal = NumberFromText("1e-4940");
    EXPECT_TRUE(subnormal > 0 && subnormal < std::numeric_limits<Extended>::min())
        << Show(subnormal);
}

// Up to 19 digits with at most 27 places of shift take one operation on exact operands,
// so the result is the correctly rounded value of the digits; the powers of ten themselves
// must be the correctly rounded constants.
TEST(NumberFromText, SingleOperationIsCorrectlyRounded)
{
    std::vector<std::string> texts = {
        "0.1", "121.123456789", "2652335.98765", "247342.1234", "23.9876543",
        "-0.000012345", "1.7976931348623157e27", "9999999999999999999e-27", "3e-27",
        "0.1234567890123456789", "1234567890123456789e8"};
    for (int n = 0; n < 32; ++n)
        texts.push_back("1e" + std::to_string(n));
    for (int n = 32; n <= 480; n += 32)
        texts.push_back("1e" + std::to_string(n));
    for (int n = 512; n <= 4608; n += 512)
        texts.push_back("1e" + std::to_string(n));
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 19);
        std::string body;
        for (int d = 0; d < digits; ++d)
            body += static_cast<char>('0' + random() % 10);
        const int point = static_cast<int>(random() % (digits + 1));
        const int fraction = digits - point;
        const int shift = static_cast<int>(random() % 55) - 27;  // k
        const std::string sign = random() & 1 ? "-" : "";
        texts.push_back(sign + body.substr(0, static_cast<std::size_t>(point)) + "." +
                        body.substr(static_cast<std::size_t>(point)) + "e" +
                        std::to_string(shift + fraction));
    }
    int failures = 0;
    for (const std::string& text : texts) {
        const Extended value = NumberFromText(text);
        const Extended exact = ExactReading(text);
        if (value != exact && ++failures <= 10)
            ADD_FAILURE() << text << ": " << Show(value) << ", correctly rounded "
                          << Show(exact);
    }
}

// Longer texts and far exponents take several rounded steps: within 4 units in the
// last place of the correctly rounded value.
TEST(NumberFromText, FarExponentsWithinFourUlps)
{
    const char* texts[] = {"1E600",   "1e-600",  "1.7e4900", "-1e-4900", "1e499",
                           "123456789012345678901234567890", "3.36210314311209351e-4932",
                           "1.18973149535723176e4932", "0.000000000000000000000000000001"};
    for (const char* text : texts) {
        const Extended value = NumberFromText(text);
        const Extended exact = ExactReading(text);
        EXPECT_LE(std::fabs(value - exact), 4 * std::fabs(exact) * 0x1p-63L)
            << text << ": " << Show(value) << ", correctly rounded " << Show(exact);
    }
}

TEST(NumberFromText, RefusesWithTheWholeTextInTheMessage)
{
    const std::string rows[] = {
        "247,342", "12.5.1", "", " ", "-", "+", "E5", "e", "1E5000", "1E4999", "1E-5000",
        "\t12", "12\t", "\xEF\xBC\x92\xEF\xBC\x94",  // full-width digits 2 4
        "1 2", "--1", "+-1", "1e++5", "1e5.5", "0x10", "inf", "NAN", "1,5",
        "  1.2.3 ", "1" + std::string(5000, '0'), "1d5", "1_000"};
    for (const std::string& text : rows)
        EXPECT_EQ(ErrorOf(text), Refusal(text));
}

TEST_F(WithMark, CommaMarkReadsCommasOnly)
{
    SetDecimalMark(",");
    EXPECT_EQ(NumberFromText("247,342"), ExactReading("247.342"));
    EXPECT_EQ(NumberFromText(" -1,5e1 "), -15.0L);
    EXPECT_EQ(NumberFromText(","), 0.0L);
    for (const std::string text : {"247.342", "1,2,3", "1.5"})
        EXPECT_EQ(ErrorOf(text), Refusal(text));

    SetDecimalMark("\xD9\xAB");  // U+066B, two bytes
    EXPECT_EQ(NumberFromText("3\xD9\xAB" "25"), 3.25L);
    EXPECT_EQ(ErrorOf("3\xD9" "25"), Refusal("3\xD9" "25"));
    EXPECT_EQ(GeneralFormat(NumberFromText("-0\xD9\xAB" "0001"), 9), "-0\xD9\xAB" "0001");
}

TEST_F(WithMark, MarkIsOneCharacter)
{
    const std::pair<std::string, std::string> rows[] = {
        {",", ","}, {"", "."}, {",.", ","}, {"\xD9\xAB.", "\xD9\xAB"}, {"\xE3\x80\x82x", "\xE3\x80\x82"}};
    for (const auto& [given, kept] : rows) {
        SetDecimalMark(given);
        EXPECT_EQ(DecimalMark(), kept) << given;
    }
}

// Every finite double comes back from its 18-digit text once rounded to double: the
// text is within 5e-18 of the value, far inside half a double unit.
TEST(RoundTrip, DoublesThroughEighteenDigits)
{
    std::mt19937_64 random(11);
    int failures = 0;
    for (int i = 0; i < 20000; ++i) {
        double x;
        const std::uint64_t bits = random();
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isnormal(x))
            continue;
        const std::string text = GeneralFormat(x, 18);
        const double back = static_cast<double>(NumberFromText(text));
        if (back != x && ++failures <= 10)
            ADD_FAILURE() << Show(x) << " -> " << text << " -> " << Show(back);
    }
}

// Values with at most 18 significant digits whose reading is one exact operation come
// back exactly.
TEST(RoundTrip, ShortValuesExactly)
{
    std::vector<Extended> values = {247342.125L, 2652335.5L, 121.0625L, -23.75L, 1e18L,
                                    0.0009765625L, 999999999999999999.0L};
    std::mt19937_64 random(13);
    for (int i = 0; i < 5000; ++i)
        values.push_back(static_cast<Extended>(random() % 1000000000000ULL) /
                         (1 << (random() % 8)));  // n × 5^j / 10^j: at most 17 digits
    for (Extended x : values) {
        const std::string text = GeneralFormat(x, 18);
        EXPECT_EQ(NumberFromText(text), x) << Show(x) << " -> " << text;
    }
}

// An extended value has 64 significant bits, more than 18 digits hold, so in general it
// does not come back exactly. What holds over the whole normal range: what is read back
// is within half a unit of the 18th digit (and a few extended roundings) and writes the
// same text again.
TEST(RoundTrip, ExtendedValuesKeepTheirText)
{
    std::mt19937_64 random(17);
    int failures = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t m = random() | (1ULL << 63);
        const int e = static_cast<int>(random() % 32766) - 16382 - 63;  // up to 2^16383
        const Extended x = std::ldexp(static_cast<Extended>(m), e) * (random() & 1 ? -1 : 1);
        const std::string text = GeneralFormat(x, 18);
        Extended back = 0;
        std::string again;
        try {
            back = NumberFromText(text);
            again = GeneralFormat(back, 18);
        } catch (const ParseError& error) {
            again = error.what();
        }
        // Half a unit of the 18th digit is at most 5e-18 of the value; the reading adds
        // a few extended roundings of 2^-64 each.
        const bool close = std::fabs(back - x) <= 5.25e-18L * std::fabs(x);
        if ((again != text || !close) && ++failures <= 10)
            ADD_FAILURE() << Show(x) << " -> " << text << " -> " << Show(back) << " -> " << again;
    }
}

// The exception at the top of the range: the 18-digit text of the largest values lies
// above the largest extended value, so it reads as an overflow.
TEST(RoundTrip, LargestValuesOverflowWhenReadBack)
{
    const Extended max = std::numeric_limits<Extended>::max();
    const std::string text = GeneralFormat(max, 18);
    EXPECT_EQ(text, "1.18973149535723177E4932");
    EXPECT_EQ(ErrorOf(text), Refusal(text));
}
