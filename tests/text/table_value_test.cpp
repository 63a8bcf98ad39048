// A table cell's value without its text: the same value, bit for bit, as through the
// 15-digit table text.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "geodesy/floating_point.h"
#include "text/batch_reader.h"
#include "text/conversion.h"
#include "text/number_text.h"
#include "text/table_value.h"

static std::string ShowExtended(Extended x)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", x);
    return buffer;
}

// The table text's round trip is skipped only where it changes nothing: for a million
// numbers written as files hold them, the value taken without the text is the value of
// the text, bit for bit, and the scanner takes the numbers the batch-file reader takes.
TEST(TableValue, SameAsThroughTheTableText)
{
    ResetFloatingPointEnvironment();
    static const char* const kForms[] = {"%.2f", "%.3f", "%.9f", "%.5f", "%.0f",  "%.17g", "%.15g", "%.6e",
                                         "%.12e", "%.1f", "%.14g", "%.16g", "%.10f", "%g",    "%.4e"};
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> form(0, std::size(kForms) - 1);
    std::uniform_int_distribution<int> scale(-8, 17);
    std::size_t withoutText = 0;
    std::string batch;
    std::vector<std::string> texts;
    char text[64];
    for (int i = 0; i < 1000000; ++i) {
        double value;
        switch (i % 4) {
        case 0: value = 150000 + unit(random) * 200000; break;       // eastings
        case 1: value = 2400000 + unit(random) * 400000; break;      // northings
        case 2: value = 119.5 + unit(random) * 6; break;             // degrees
        default: value = unit(random) * std::pow(10.0, scale(random)) * (unit(random) < 0.5 ? -1 : 1);
        }
        std::snprintf(text, sizeof text, kForms[form(random)], value);
        const std::string_view number(text);
        ASSERT_EQ(ScanBatchNumber(number.data(), number.data() + number.size()), number.data() + number.size()) << text;
        const Extended old = NumberFromText(BatchCellText(BatchNumberValue(number)));
        Extended fast = 0;
        if (TableValueWithoutText(number, fast)) {
            ++withoutText;
            ASSERT_EQ(std::memcmp(&fast, &old, 10), 0)
                << text << ": " << ShowExtended(fast) << " without the text, " << ShowExtended(old) << " with it";
        }
        const Extended value2 = TableValue(number);
        ASSERT_EQ(std::memcmp(&value2, &old, 10), 0) << text;
        if (i < 20000) {
            batch += text;
            batch += i % 2 ? "\n" : " ";
            texts.emplace_back(text);
        }
    }
    // Most numbers take the road without the text.
    EXPECT_GT(withoutText, 700000u);
    // The same doubles as the batch-file reader.
    const BatchReadResult read = ReadBatchPairs(batch);
    ASSERT_EQ(read.pairs.size() * 2, texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const double reader = i % 2 ? read.pairs[i / 2].y : read.pairs[i / 2].x;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(reader), std::bit_cast<std::uint64_t>(BatchNumberValue(texts[i])))
            << texts[i];
    }
}

// Beyond the double range the value is infinity or zero, as the reader makes it.
TEST(TableValue, BeyondTheDoubleRange)
{
    struct Case {
        const char* text;
        double value;
    };
    const std::vector<Case> table = {
        {"1e400", INFINITY}, {"-5e308", -INFINITY}, {"1e-400", 0.0}, {"-1e-400", -0.0}, {"0.000e999", 0.0},
    };
    for (const Case& c : table) {
        const double value = BatchNumberValue(c.text);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(c.value)) << c.text;
    }
}
