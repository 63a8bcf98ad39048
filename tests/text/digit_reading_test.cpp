// NumberFromText takes its first 19 digits in integer arithmetic and reads the overflow
// flag only when a text can overflow; the reference takes every digit in extended
// precision and reads the flag for every text. Values (bit for bit), refusals and the
// overflow flag left behind must be the same.
#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

// The value's 80 bits, or the refusal's message.
static std::string Outcome(Extended (*read)(std::string_view), const std::string& text)
{
    try {
        const Extended x = read(text);
        unsigned char bytes[10];
        std::memcpy(bytes, &x, sizeof bytes);
        char hex[32];
        for (int i = 0; i < 10; ++i)
            std::snprintf(hex + 2 * i, 3, "%02x", bytes[9 - i]);
        return Show(x) + " " + hex;
    } catch (const ParseError& error) {
        return error.what();
    }
}

// Random number texts: 1 to 30 digits (leading zeros too), the mark anywhere, signs,
// blanks, exponents near and far; a few malformed on purpose.
TEST(DigitReading, RandomTextsAsTheReference)
{
    std::mt19937_64 random(20240613);
    int mismatches = 0;
    for (int i = 0; i < 300000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 30);
        std::string body;
        for (int d = 0; d < digits; ++d)
            body += static_cast<char>('0' + (d < static_cast<int>(random() % 4) ? 0 : random() % 10));
        const std::size_t point = random() % (body.size() + 2);
        if (point <= body.size())
            body.insert(body.begin() + static_cast<std::ptrdiff_t>(point), '.');
        std::string text = random() % 3 == 0 ? "-" : random() % 5 == 0 ? "+" : "";
        text += body;
        switch (random() % 6) {
        case 0: break;
        case 1: text += 'e'; text += std::to_string(static_cast<int>(random() % 121) - 60); break;
        case 2: text += 'E'; text += std::to_string(static_cast<int>(random() % 10001) - 5000); break;
        case 3: text += "e+"; text += std::to_string(random() % 40); break;
        case 4: text.insert(0, "  "); text += " "; break;
        default: text += (random() % 2) ? "e" : "x"; break;
        }
        const std::string fast = Outcome(NumberFromText, text);
        const std::string reference = Outcome(NumberFromTextByExtendedDigits, text);
        if (fast != reference && ++mismatches <= 10)
            ADD_FAILURE() << "'" << text << "': " << fast << ", reference " << reference;
    }
    EXPECT_EQ(mismatches, 0);
}

// Texts at the 19/20-digit edge, where the integer steps give way to extended ones.
TEST(DigitReading, NineteenAndTwentyDigits)
{
    const std::vector<std::string> texts = {
        "9999999999999999999", "18446744073709551615", "18446744073709551616", "18446744073709551617",
        "9223372036854775807", "9223372036854775808", "99999999999999999999", "12345678901234567890",
        "1234567890123456789.5", "0.12345678901234567891", "00000000000000000001234", "1234567890123456789e-27",
        "12345678901234567891e-40", "99999999999999999999e4912", "-0.00000000000000000000"};
    for (const std::string& text : texts)
        EXPECT_EQ(Outcome(NumberFromText, text), Outcome(NumberFromTextByExtendedDigits, text)) << text;
}

// A text that overflows clears the overflow flag it raised, but not one raised before
// it; a text that does not overflow leaves the flag as it was.
TEST(DigitReading, OverflowFlagLeftBehind)
{
    struct Case {
        const char* name;
        std::string text;
        bool refused;
    };
    const std::vector<Case> table = {
        {"ordinary", "2652335.98765", false},
        {"largest that one multiplication reaches", "9999999999999999999e31", false},
        {"scaled past the range", "1E4999", true},
        {"just past the largest value", "1.2e4932", true},
        {"just inside it", "1.1e4932", false},
        {"integer part too long", "1" + std::string(5000, '0'), true},
        {"many digits, inside the range", "1" + std::string(3000, '0'), false},
        {"refused for its form, not overflow", "12.5.1", true},
    };
    for (const Case& c : table) {
        for (bool raisedBefore : {false, true}) {
            for (auto read : {NumberFromText, NumberFromTextByExtendedDigits}) {
                SCOPED_TRACE(std::string(c.name) + (raisedBefore ? ", overflow raised before" : "") +
                             (read == NumberFromText ? "" : ", reference"));
                std::feclearexcept(FE_ALL_EXCEPT);
                if (raisedBefore)
                    std::feraiseexcept(FE_OVERFLOW);
                bool refused = false;
                try {
                    read(c.text);
                } catch (const ParseError&) {
                    refused = true;
                }
                EXPECT_EQ(refused, c.refused);
                EXPECT_EQ(std::fetestexcept(FE_OVERFLOW) != 0, raisedBefore);
            }
        }
    }
    std::feclearexcept(FE_ALL_EXCEPT);
}
