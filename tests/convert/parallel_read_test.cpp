// Reading a file in pieces on several threads gives exactly the pairs of reading it on
// one, or gives up and leaves the file to the one-thread reader.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "convert/parallel_read.h"
#include "text/batch_reader.h"

static bool SamePairs(const std::vector<BatchPair>& a, const std::vector<BatchPair>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::bit_cast<std::uint64_t>(a[i].x) != std::bit_cast<std::uint64_t>(b[i].x) ||
            std::bit_cast<std::uint64_t>(a[i].y) != std::bit_cast<std::uint64_t>(b[i].y))
            return false;
    return true;
}

// `count` numbers, `perLine` to a line, separated as `blank` says.
static std::string Numbers(std::size_t count, int perLine, const char* blank = " ", const char* lineEnd = "\n")
{
    std::mt19937_64 random(count + perLine);
    std::uniform_real_distribution<double> value(-3e6, 3e6);
    std::string file;
    char number[40];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(number, sizeof number, (i % 3) ? "%.2f" : "%.17g", value(random));
        file += number;
        file += (i + 1) % perLine == 0 ? lineEnd : blank;
    }
    return file;
}

TEST(ReadBatchPairsInPieces, SamePairsOrNone)
{
    // Small pieces, so that small files are cut in many places.
    constexpr std::size_t kPiece = 2000;
    const std::size_t many = 8 * kPiece / 10;  // about 8 pieces' worth of numbers
    struct Case {
        const char* name;
        std::string file;
        unsigned jobs;
        int read;  // 1: the pieces are used, 0: they are not, -1: either, by where the cut falls
    };
    const std::vector<Case> table = {
        {"a pair a line, two pieces", Numbers(many, 2), 2, 1},
        {"a pair a line, three pieces", Numbers(many, 2), 3, 1},
        {"a pair a line, CR LF", Numbers(many, 2, "\t", "\r\n"), 2, 1},
        {"four numbers a line", Numbers(many, 4), 3, 1},
        {"one number a line, odd count", Numbers(many + 1, 1), 2, 0},
        {"one number a line: a piece may start inside a pair", Numbers(many, 1), 2, -1},
        {"one number a line, three pieces", Numbers(many + 2, 1), 3, -1},
        {"three numbers a line", Numbers(many * 3 / 2 + 3, 3), 3, 0},
        {"text after the numbers", Numbers(many, 2) + "end\n", 2, 0},
        {"a lone number at the end", Numbers(many + 1, 2), 2, 0},
        {"a Ctrl-Z", Numbers(many, 2) + "\x1A" "junk", 2, 0},
        {"CR line ends only: no line feed to split at", Numbers(many, 2, " ", "\r"), 2, 1},
        {"eight pieces", Numbers(many, 2), 8, 1},
        {"more threads than pieces", Numbers(many, 2), 64, 1},
        {"one thread", Numbers(many, 2), 1, 0},
        {"too small to split", Numbers(100, 2), 2, 0},
        {"the last line without a line end", Numbers(many, 2) + "1 2", 2, 1},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const std::optional<std::vector<BatchPair>> pieces = ReadBatchPairsInPieces(c.file, c.jobs, kPiece);
        const BatchReadResult whole = ReadBatchPairs(c.file);
        if (c.read >= 0) {
            EXPECT_EQ(pieces.has_value(), c.read == 1);
        }
        if (pieces) {
            EXPECT_FALSE(whole.stoppedEarly);
            EXPECT_EQ(pieces->size(), whole.pairs.size());
            EXPECT_TRUE(SamePairs(*pieces, whole.pairs));
        }
    }
}

// Random files cut into small pieces in many places: whenever the pieces are used they
// give the one-thread reader's pairs, and a file whose every line holds whole pairs is
// always read in pieces.
TEST(ReadBatchPairsInPieces, RandomFilesAgree)
{
    static const char* const kBlanks[] = {" ", "\t", "  ", "\v", "\f"};
    static const char* const kLineEnds[] = {"\n", "\r\n", "\n\n", " \n"};
    std::mt19937_64 random(99);
    for (int file = 0; file < 200; ++file) {
        const bool wholePairs = file % 2 == 0;
        std::string bytes;
        const int lines = 50 + static_cast<int>(random() % 300);
        for (int line = 0; line < lines; ++line) {
            const int count = wholePairs ? 2 * (1 + static_cast<int>(random() % 3)) : 1 + static_cast<int>(random() % 5);
            for (int i = 0; i < count; ++i) {
                if (i > 0) bytes += kBlanks[random() % std::size(kBlanks)];
                bytes += std::to_string(static_cast<long long>(random() % 2000000) - 1000000);
                if (random() % 3 == 0) bytes += ".5";
            }
            bytes += kLineEnds[random() % std::size(kLineEnds)];
        }
        const unsigned jobs = 2 + static_cast<unsigned>(random() % 8);
        SCOPED_TRACE("file " + std::to_string(file) + ", " + std::to_string(jobs) + " jobs");
        const std::optional<std::vector<BatchPair>> pieces = ReadBatchPairsInPieces(bytes, jobs, 200);
        const BatchReadResult whole = ReadBatchPairs(bytes);
        if (wholePairs) {
            EXPECT_TRUE(pieces.has_value());
        }
        if (pieces) {
            EXPECT_FALSE(whole.stoppedEarly);
            EXPECT_TRUE(SamePairs(*pieces, whole.pairs)) << pieces->size() << " pairs, " << whole.pairs.size() << " expected";
        }
    }
}
