// The batch-file reader against tables of files: the pairs it loads (bit for bit,
// so -0 and the infinities count) and where it reports that reading stopped.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "text/batch_reader.h"

static constexpr double kInf = std::numeric_limits<double>::infinity();

// Byte strings may hold NUL, so they are built from the literal's full size.
template <std::size_t N>
static std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

struct LoadCase {
    const char* name;
    std::string file;
    std::vector<BatchPair> pairs;
    bool stoppedEarly;
    std::size_t stopLine;
    std::size_t stopOffset;
    const char* stopExcerpt;
};

static std::string Describe(const std::vector<BatchPair>& pairs)
{
    std::string text;
    char buffer[80];
    for (const BatchPair& pair : pairs) {
        std::snprintf(buffer, sizeof buffer, "(%.17g, %.17g) ", pair.x, pair.y);
        text += buffer;
    }
    return text.empty() ? "(none)" : text;
}

static bool SameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

static bool SamePairs(const std::vector<BatchPair>& a, const std::vector<BatchPair>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameBits(a[i].x, b[i].x) || !SameBits(a[i].y, b[i].y)) return false;
    return true;
}

static void CheckLoads(const std::vector<LoadCase>& table)
{
    for (const LoadCase& c : table) {
        SCOPED_TRACE(c.name);
        BatchReadResult r = ReadBatchPairs(c.file);
        EXPECT_TRUE(SamePairs(r.pairs, c.pairs))
            << "loaded   " << Describe(r.pairs) << "\nexpected " << Describe(c.pairs);
        EXPECT_EQ(r.stoppedEarly, c.stoppedEarly);
        EXPECT_EQ(r.stopLine, c.stopLine);
        EXPECT_EQ(r.stopOffset, c.stopOffset);
        EXPECT_EQ(r.stopExcerpt, c.stopExcerpt);
    }
}

TEST(BatchReader, LoadingEdgeCases)
{
    CheckLoads({
        {"two lines", "247342 2652335\n250000 2652335\n",
         {{247342, 2652335}, {250000, 2652335}}, false, 3, 30, ""},
        {"three numbers a line", "1 2 3\n4 5 6\n", {{1, 2}, {3, 4}, {5, 6}}, false, 3, 12, ""},
        {"odd count drops the last number", "1 2 3\n", {{1, 2}}, true, 1, 4, "3"},
        {"odd count, blank lines after", "1 2 3\n\n\n", {{1, 2}}, true, 1, 4, "3"},
        {"letters first", "E N\n247342 2652335\n", {}, true, 1, 0, "E N"},
        {"byte-order mark of UTF-8 is passed over", Bytes("\xEF\xBB\xBF" "1 2\r\n"), {{1, 2}}, false, 2, 8, ""},
        {"byte-order mark of UTF-16", Bytes("\xFF\xFE" "1\0 \0" "2\0"), {}, true, 1, 0, "1 2"},
        {"comma between the numbers", "121.5,24.5\n", {}, true, 1, 0, "121.5,24.5"},
        {"comma on the second line", "1 2\n3,4\n5 6\n", {{1, 2}}, true, 2, 4, "3,4"},
        {"exponent and explicit sign forms", "1e5 2E-2\n+7 .5\n", {{100000, 0.02}, {7, 0.5}}, false, 3, 15, ""},
        {"trailing zeros", "1.500 2.000000\n", {{1.5, 2}}, false, 2, 15, ""},
        {"exponent without digit", "1e 2\n", {}, true, 1, 0, "1e 2"},
        {"exponent without digit after a pair", "3 4\n1e 2\n", {{3, 4}}, true, 2, 4, "1e 2"},
        {"minus ends a number and starts the next", "12-3", {{12, -3}}, false, 1, 4, ""},
        {"17 significant digits", "247342.12345678901 2652335.1234567891\n",
         {{247342.12345678901, 2652335.1234567891}}, false, 2, 38, ""},
        {"beyond the double range", "1e400 -1e400\n", {{kInf, -kInf}}, false, 2, 13, ""},
        {"a row beyond the range among others", "1 2\n3 4\n1e400 6\n7 8\n9 10\n",
         {{1, 2}, {3, 4}, {kInf, 6}, {7, 8}, {9, 10}}, false, 6, 25, ""},
        {"Ctrl-Z after the last line", Bytes("1 2\n3 4\n\x1A"), {{1, 2}, {3, 4}}, false, 3, 8, ""},
        {"Ctrl-Z hides what follows", Bytes("1 2\x1A" "3 4 junk"), {{1, 2}}, false, 1, 3, ""},
        {"Ctrl-Z ends a number", Bytes("1 2\x1A" "5"), {{1, 2}}, false, 1, 3, ""},
        {"Ctrl-Z after a lone number", Bytes("1 2 3\x1A" "4"), {{1, 2}}, true, 1, 4, "3"},
        {"Ctrl-Z at the start", Bytes("\x1A" "1 2"), {}, false, 1, 0, ""},
        {"CR line ends", "1 2\r3 4\r5 6\r", {{1, 2}, {3, 4}, {5, 6}}, false, 4, 12, ""},
        {"CR LF line ends", "1 2\r\n3 4\r\n5 6\r\n", {{1, 2}, {3, 4}, {5, 6}}, false, 4, 15, ""},
        {"tabs and blank lines", "\t1\t\t2\n\n\n\n3\t\t\t4\n\n", {{1, 2}, {3, 4}}, false, 7, 16, ""},
        {"vertical tab and form feed are blanks", "1\v2\f3 4", {{1, 2}, {3, 4}}, false, 1, 7, ""},
        {"last pair without a line end", "1 2\n3 4", {{1, 2}, {3, 4}}, false, 2, 7, ""},
        {"empty file", "", {}, false, 1, 0, ""},
        {"blanks only", " \r\n\t \n", {}, false, 3, 6, ""},
    });
}

// The grammar's corners: where a number ends, and what is not a number at all.
TEST(BatchReader, NumberBoundaries)
{
    CheckLoads({
        {"point after the digits", "1.e5 5.", {{100000, 5}}, false, 1, 7, ""},
        {"point before the digits", "-.5 +.25", {{-0.5, 0.25}}, false, 1, 8, ""},
        {"point alone", ". 1 2", {}, true, 1, 0, ". 1 2"},
        {"sign alone", "+ 1 2", {}, true, 1, 0, "+ 1 2"},
        {"minus alone at the end", "1 2 5 -", {{1, 2}}, true, 1, 4, "5 -"},
        {"two signs", "1 2 --5 6", {{1, 2}}, true, 1, 4, "--5 6"},
        {"sign then point alone", "-. 1", {}, true, 1, 0, "-. 1"},
        {"letter e first", "e5 1", {}, true, 1, 0, "e5 1"},
        {"two points", "1..2", {{1, 0.2}}, false, 1, 4, ""},
        {"second point starts a number", "1.5.5 2.25.75", {{1.5, 0.5}, {2.25, 0.75}}, false, 1, 13, ""},
        {"plus ends a number", "12+3", {{12, 3}}, false, 1, 4, ""},
        {"point after an exponent", "1e2.5", {{100, 0.5}}, false, 1, 5, ""},
        {"exponent marker at the very end", "1 2 3 1e", {{1, 2}}, true, 1, 4, "3 1e"},
        {"second number's exponent at the very end", "4 1E", {}, true, 1, 0, "4 1E"},
        {"exponent sign without digit", "1e+ 2", {}, true, 1, 0, "1e+ 2"},
        {"exponent sign then a letter", "7 8 1E-x 2", {{7, 8}}, true, 1, 4, "1E-x 2"},
        {"second exponent", "1e5e5 0", {}, true, 1, 0, "1e5e5 0"},
        {"hexadecimal prefix", "0x10 1", {}, true, 1, 0, "0x10 1"},
        {"words for infinity", "inf nan", {}, true, 1, 0, "inf nan"},
        {"semicolon", "1 2;3 4", {{1, 2}}, true, 1, 3, ";3 4"},
        {"NUL byte", Bytes("1\0 2"), {}, true, 1, 0, "1\\x00 2"},
        {"double-byte space", Bytes("1 2\n3\xA1\x40" "4"), {{1, 2}}, true, 2, 4, "3\\xA1\\x404"},
        {"thousands separator", "1,000.5 2", {}, true, 1, 0, "1,000.5 2"},
        {"decimal comma", "1 2\n121,5 24,5", {{1, 2}}, true, 2, 4, "121,5 24,5"},
        {"leading zeros", "007 -0003.50", {{7, -3.5}}, false, 1, 12, ""},
        {"signed zeros", "-0 +0", {{-0.0, 0.0}}, false, 1, 5, ""},
    });
}

// Each number is the double nearest its decimal value, with no intermediate rounding.
TEST(BatchReader, ExactConversion)
{
    struct Case {
        const char* name;
        std::string number;
        double expected;
    };
    const std::string zeros400(400, '0');
    const std::string zeros330(330, '0');
    const std::vector<Case> table = {
        {"17 digits", "2652335.1234567891", 2652335.1234567891},
        {"one tenth", "0.1", 0.1},
        {"2^53 + 1 ties to even", "9007199254740993", 9007199254740992.0},
        {"2^53 + 3 ties to even", "9007199254740995", 9007199254740996.0},
        {"just above the tie rounds up", "9007199254740993.0000000000000001", 9007199254740994.0},
        {"a hard case near the smallest normal", "2.2250738585072011e-308", 2.2250738585072011e-308},
        {"largest double", "1.7976931348623157e308", std::numeric_limits<double>::max()},
        {"below the overflow tie", "1.7976931348623158e308", std::numeric_limits<double>::max()},
        {"above the overflow tie", "1.7976931348623159e308", kInf},
        {"just beyond the largest double", "5e308", kInf},
        {"just beyond, negative", "-5e308", -kInf},
        {"far beyond", "1e400", kInf},
        {"far beyond, negative", "-1e400", -kInf},
        {"far below", "1e-400", 0.0},
        {"far below, negative", "-1e-400", -0.0},
        {"smallest subnormal", "4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
        {"rounds up to the smallest subnormal", "2.5e-324", std::numeric_limits<double>::denorm_min()},
        {"rounds down to zero", "2.4e-324", 0.0},
        {"400 integer digits", "1" + zeros400, kInf},
        {"400 zeros after the point", "0." + zeros400 + "1", 0.0},
        {"long mantissa, exponent brings it back", "0." + zeros330 + "1e330", 0.1},
        {"huge exponent", "1e99999999999999999999", kInf},
        {"huge negative exponent", "-1e-99999999999999999999", -0.0},
        {"zero with a huge exponent", "0e99999999999999999999", 0.0},
        {"exponent with leading zeros", "25e-0000000000000000000001", 2.5},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        BatchReadResult r = ReadBatchPairs(c.number + " 0");
        ASSERT_EQ(r.pairs.size(), 1u);
        EXPECT_TRUE(SameBits(r.pairs[0].x, c.expected))
            << "read " << Describe(r.pairs) << " expected x = " << Describe({{c.expected, 0.0}});
        EXPECT_FALSE(r.stoppedEarly);
    }
}

// Line counting and the excerpt shown to the user.
TEST(BatchReader, StopPlaceReport)
{
    CheckLoads({
        {"CR only", "1 2\r3 4\r5 x\r", {{1, 2}, {3, 4}}, true, 3, 8, "5 x"},
        {"CR LF", "1 2\r\n3 4\r\n5 x\r\n", {{1, 2}, {3, 4}}, true, 3, 10, "5 x"},
        {"LF", "1 2\n3 4\n5 x\n", {{1, 2}, {3, 4}}, true, 3, 8, "5 x"},
        {"mixed line ends", "1 2\r\r\n\n\n\r3 x", {{1, 2}}, true, 6, 9, "3 x"},
        {"LF CR is two line ends", "1 2\n\rx", {{1, 2}}, true, 3, 5, "x"},
        {"excerpt ends at the line end", "1 2\n3 4 5 x\n6 7", {{1, 2}, {3, 4}}, true, 2, 8, "5 x"},
        {"excerpt ends at CR", "1 2 3 \rzz", {{1, 2}}, true, 1, 4, "3 "},
        {"excerpt is cut", "x123456789012345678901234567890", {}, true, 1, 0, "x1234567890123456789"},
        {"excerpt escapes", Bytes("1 2 a\\b\tc\x7F\x80\x1B"), {{1, 2}}, true, 1, 4, "a\\\\b\\tc\\x7F\\x80\\x1B"},
        {"a character counts once against the cut", Bytes("\xE5\x8C\xB9\xE6\xAC\xA1\xE8\xBD\x89\xE6\x8F\x9B" "1234567890123456789"),
         {}, true, 1, 0, "\xE5\x8C\xB9\xE6\xAC\xA1\xE8\xBD\x89\xE6\x8F\x9B" "1234567890123456"},
        {"far down a long file", std::string(5000, '\n') + "1 2\n3 ,", {{1, 2}}, true, 5002, 5004, "3 ,"},
    });
}

// Reading the bytes before the stop place again loads the same pairs and stops at its end.
TEST(BatchReader, PrefixBeforeTheStopReadsTheSame)
{
    const std::vector<std::string> files = {
        "1 2 3\n", "1 2\n3,4\n5 6\n", "12-3 4e", "1 2 1e5 1e", Bytes("\xEF\xBB\xBF" "1 2"),
        "1 2\r\n3 4\r\n5 x", "1 2 3 4 5", "0.5 .5 5. -"};
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        BatchReadResult whole = ReadBatchPairs(file);
        BatchReadResult prefix = ReadBatchPairs(std::string_view(file).substr(0, whole.stopOffset));
        EXPECT_TRUE(SamePairs(whole.pairs, prefix.pairs))
            << "whole " << Describe(whole.pairs) << "\nprefix " << Describe(prefix.pairs);
        EXPECT_FALSE(prefix.stoppedEarly);
        EXPECT_EQ(prefix.stopOffset, whole.stopOffset);
    }
}

TEST(BatchReader, ManyRows)
{
    std::string file;
    for (int i = 0; i < 20000; ++i) file += std::to_string(200000 + i) + ".25 " + std::to_string(2500000 - i) + ".5\r\n";
    BatchReadResult r = ReadBatchPairs(file);
    ASSERT_EQ(r.pairs.size(), 20000u);
    EXPECT_FALSE(r.stoppedEarly);
    EXPECT_EQ(r.stopLine, 20001u);
    for (int i : {0, 1, 9999, 19999}) {
        EXPECT_EQ(r.pairs[i].x, 200000 + i + 0.25) << "row " << i;
        EXPECT_EQ(r.pairs[i].y, 2500000 - i + 0.5) << "row " << i;
    }
}

// A UTF-8 byte-order mark is passed over at the very start of the file only; offsets
// and the excerpt still count its bytes.
TEST(BatchReader, ByteOrderMark)
{
    CheckLoads({
        {"mark only", Bytes("\xEF\xBB\xBF"), {}, false, 1, 3, ""},
        {"mark, then words", Bytes("\xEF\xBB\xBF" "E N\n1 2"), {}, true, 1, 3, "E N"},
        {"mark, then blank lines", Bytes("\xEF\xBB\xBF\n\n1 2"), {{1, 2}}, false, 3, 8, ""},
        {"two marks", Bytes("\xEF\xBB\xBF\xEF\xBB\xBF" "1 2"), {}, true, 1, 3, "\\xEF\\xBB\\xBF1 2"},
        {"mark after a blank", Bytes(" \xEF\xBB\xBF" "1 2"), {}, true, 1, 1, "\\xEF\\xBB\\xBF1 2"},
        {"mark inside: files joined", Bytes("1 2\n\xEF\xBB\xBF" "3 4\n"), {{1, 2}}, true, 2, 4, "\\xEF\\xBB\\xBF3 4"},
        {"mark cut short", Bytes("\xEF\xBB" "1 2"), {}, true, 1, 0, "\\xEF\\xBB1 2"},
        {"Ctrl-Z inside the mark", Bytes("\xEF\xBB\x1A\xBF" "1 2"), {}, true, 1, 0, "\\xEF\\xBB"},
    });

    struct Case {
        std::string bytes;
        std::size_t length;
    };
    const std::vector<Case> table = {{"", 0}, {Bytes("\xEF"), 0}, {Bytes("\xEF\xBB"), 0}, {Bytes("\xEF\xBB\xBF"), 3},
                                     {Bytes("\xEF\xBB\xBF" "12"), 3}, {Bytes("1\xEF\xBB\xBF"), 0}, {Bytes("\xFF\xFE" "1"), 0}};
    for (const Case& c : table)
        EXPECT_EQ(Utf8ByteOrderMarkLength(c.bytes), c.length) << "\"" << c.bytes << "\"";
}

// Whether the numbers line up with the lines: the first line that breaks the pattern,
// its count of numbers and the count a line held before it.
TEST(BatchReader, LayoutReport)
{
    struct Case {
        const char* name;
        std::string file;
        std::size_t line, numbers, perLine;
        std::size_t pairs;
    };
    const std::vector<Case> table = {
        {"a pair a line", "1 2\n3 4\n", 0, 0, 0, 2},
        {"one number a line: the old layout", "1\n2\n3\n4\n", 0, 0, 0, 2},
        {"one line of one pair", "1 2", 0, 0, 0, 1},
        {"blank lines and CR line ends change nothing", "1 2\r\n\r\n\n3 4\r5 6\r", 0, 0, 0, 3},
        {"three numbers a line", "1 2 3\n4 5 6\n", 1, 3, 0, 3},
        {"an ID column", "1 247342 2652335\n2 250000 2600000\n", 1, 3, 0, 3},
        {"two pairs on the first line", "1 2 3 4\n5 6\n", 1, 4, 0, 3},
        {"a pair broken over two lines", "1 2\n3\n4\n5 6\n", 2, 1, 2, 3},
        {"a pair a line after the old layout", "1\n2\n3 4\n", 3, 2, 1, 2},
        {"a longer line further down", "1 2\n3 4\n5 6 7 8\n9 10\n", 3, 4, 2, 5},
        {"last line short", "1 2\n3 4\n5\n6", 3, 1, 2, 3},
        {"the breaking line is counted to its end", "1 2\r\n3 4 5\r\n6", 2, 3, 2, 3},
        {"a dropped number beside loaded ones counts", "1 2 3\n", 1, 3, 0, 1},
        {"a dropped number on a line of its own does not", "1 2\n3 4\n5\n", 0, 0, 0, 2},
        {"counting ends where reading stops", "1 2\n3 4 5 6 7 ,8\n", 2, 5, 2, 3},
        {"the unreadable rest is not counted", "1 2\n3 4 x 5 6\n", 0, 0, 0, 2},
        {"after a byte-order mark", Bytes("\xEF\xBB\xBF" "1 2 3 4"), 1, 4, 0, 2},
        {"line numbers count a lone CR", "1 2\r3 4\r5\r6 7", 3, 1, 2, 3},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const BatchReadResult r = ReadBatchPairs(c.file);
        EXPECT_EQ(r.pairs.size(), c.pairs);
        EXPECT_EQ(r.layoutBreakLine, c.line);
        EXPECT_EQ(r.layoutBreakNumbers, c.numbers);
        EXPECT_EQ(r.layoutNumbersPerLine, c.perLine);
    }
}

// Where exactly no number could be read: after the dropped pair's first number.
TEST(BatchReader, UnreadablePlace)
{
    struct Case {
        std::string file;
        std::size_t stop, unreadable;
    };
    const std::vector<Case> table = {
        {"1 2 3\n", 4, 6}, {"121.5,24.5", 0, 5}, {"E N", 0, 0}, {"1 2\n3 \"4\"", 4, 6},
        {"1 2\n", 4, 4}, {Bytes("1\0 \0" "2\0"), 0, 1}, {Bytes("1 2 3\x1A" "4"), 4, 5},
    };
    for (const Case& c : table) {
        const BatchReadResult r = ReadBatchPairs(c.file);
        EXPECT_EQ(r.stopOffset, c.stop) << c.file;
        EXPECT_EQ(r.unreadableOffset, c.unreadable) << c.file;
    }
}

// Handing the pairs over while reading: the same pairs in the same order, in slices of
// kBatchPairsHandedOver, the rest left in the result.
TEST(BatchReader, PairsHandedOver)
{
    std::string file = "1 2 3\n";  // a layout break on line 1 is still found
    for (int i = 0; i < 100000; ++i) file += std::to_string(i) + " " + std::to_string(i) + ".5\n";
    file += "x";
    const BatchReadResult whole = ReadBatchPairs(file);
    std::vector<BatchPair> taken;
    std::vector<std::size_t> bytesRead;
    const BatchReadResult r = ReadBatchPairs(file, [&](std::span<const BatchPair> pairs, std::size_t read) {
        EXPECT_EQ(pairs.size(), kBatchPairsHandedOver);
        taken.insert(taken.end(), pairs.begin(), pairs.end());
        bytesRead.push_back(read);
    });
    EXPECT_EQ(bytesRead.size(), 100001 / kBatchPairsHandedOver);
    for (std::size_t k = 1; k < bytesRead.size(); ++k) EXPECT_LT(bytesRead[k - 1], bytesRead[k]);
    EXPECT_EQ(r.pairs.size(), 100001 % kBatchPairsHandedOver);
    taken.insert(taken.end(), r.pairs.begin(), r.pairs.end());
    EXPECT_TRUE(SamePairs(taken, whole.pairs));
    EXPECT_EQ(r.pairCount, 100001u);
    EXPECT_EQ(whole.pairCount, 100001u);
    EXPECT_EQ(r.stopOffset, whole.stopOffset);
    EXPECT_EQ(r.layoutBreakLine, 1u);
}
