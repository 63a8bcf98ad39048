// Where a loaded pair stands in the file: the offsets and lines LocateBatchPair gives
// for messages about a pair's numbers.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "text/batch_reader.h"

template <std::size_t N>
static std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

TEST(LocateBatchPair, Places)
{
    struct Case {
        const char* name;
        std::string file;
        std::size_t index;
        BatchPairPlace expected;  // xOffset, xLine, yOffset, yLine
    };
    const std::vector<Case> table = {
        {"first pair", "1 2\n3 4\n", 0, {0, 1, 2, 1}},
        {"second pair", "1 2\n3 4\n", 1, {4, 2, 6, 2}},
        {"pair across a line end", "1\n2\n3\r\n4", 1, {4, 3, 7, 4}},
        {"lone CR ends a line", "1 2\r3 4", 1, {4, 2, 6, 2}},
        {"LF CR is two line ends", "1 2\n\r3\n\r4", 1, {5, 3, 8, 5}},
        {"leading blank lines and tabs", "\n\n  7\t8", 0, {4, 3, 6, 3}},
        {"numbers that touch", "12-3 5e1-2", 1, {5, 1, 8, 1}},
        {"many pairs on one line", "1 2 3 4 5 6 7 8", 3, {12, 1, 14, 1}},
        {"a pair out of range still has a place", "1 2\n1e400 -1e400\n", 1, {4, 2, 10, 2}},
        {"index at the count: where reading stops", "1 2 3", 1, {4, 1, 4, 1}},
        {"index past the count, file read to the end", "1 2\n\n", 5, {5, 3, 5, 3}},
        {"Ctrl-Z ends the file", Bytes("1 2\x1A" "3 4"), 1, {3, 1, 3, 1}},
        {"empty file", "", 0, {0, 1, 0, 1}},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const BatchPairPlace place = LocateBatchPair(c.file, c.index);
        EXPECT_EQ(place.xOffset, c.expected.xOffset);
        EXPECT_EQ(place.xLine, c.expected.xLine);
        EXPECT_EQ(place.yOffset, c.expected.yOffset);
        EXPECT_EQ(place.yLine, c.expected.yLine);
    }
}

// Generated files with every kind of separator and number form, checked against the
// reader's own account of the same bytes: reading up to a pair's x offset loads exactly
// the pairs before it, and a stop placed at a number's offset is reported on the line
// LocateBatchPair gives.
TEST(LocateBatchPair, AgreesWithTheReader)
{
    static const char* const kSeparators[] = {" ", "\t", "\n", "\r\n", "\r", "  \n\n", "\v", "\f", "\n\r"};
    static const char* const kFormats[] = {"%.0f", "%.2f", "%.17g", "%.3e", "%+.1f", "%.5E"};
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<int> separator(0, std::size(kSeparators) - 1);
    std::uniform_int_distribution<int> format(0, std::size(kFormats) - 1);
    std::uniform_real_distribution<double> value(-3e6, 3e6);

    for (int file = 0; file < 40; ++file) {
        std::string bytes;
        const int numbers = 2 + file * 3;
        for (int i = 0; i < numbers; ++i) {
            char number[64];
            std::snprintf(number, sizeof number, kFormats[format(random)], value(random));
            bytes += number;
            // A negative number may follow without a blank: "12-3" is two numbers.
            bytes += (i % 7 == 3) ? "" : kSeparators[separator(random)];
        }
        const BatchReadResult all = ReadBatchPairs(bytes);
        SCOPED_TRACE(bytes);
        for (std::size_t i = 0; i < all.pairs.size(); ++i) {
            SCOPED_TRACE("pair " + std::to_string(i));
            const BatchPairPlace place = LocateBatchPair(bytes, i);
            const BatchReadResult before = ReadBatchPairs(bytes.substr(0, place.xOffset));
            EXPECT_EQ(before.pairs.size(), i);
            EXPECT_FALSE(before.stoppedEarly);
            // A letter at the x offset stops reading there, on the x number's line.
            EXPECT_EQ(ReadBatchPairs(bytes.substr(0, place.xOffset) + "x").stopLine, place.xLine);
            // A complete pair (x, 0) and then a letter, all without a line end, put the
            // stop on the y number's line.
            EXPECT_EQ(ReadBatchPairs(bytes.substr(0, place.yOffset) + " 0 x").stopLine, place.yLine);
            // And the y number read from its offset is the pair's y.
            const BatchReadResult y = ReadBatchPairs(bytes.substr(place.yOffset) + " 0");
            ASSERT_FALSE(y.pairs.empty());
            EXPECT_EQ(y.pairs[0].x, all.pairs[i].y);
        }
    }
}
