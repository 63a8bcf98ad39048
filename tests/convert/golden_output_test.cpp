// The converter's output for every option that existed before the datum, zone, format
// and spreadsheet options came is locked: 10^6 random rows of good input, spread over
// those options, must give the very bytes (length and a 64-bit FNV-1a digest of standard
// output) and exit status that the program gave when these values were recorded. Any
// change of a digit, a separator or a line end fails here, whatever else the suite says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A small deterministic generator (SplitMix64): the same rows on every platform and
// standard library, unlike the <random> distributions.
class Rows {
public:
    explicit Rows(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    long Below(long n) { return static_cast<long>(Next() % static_cast<std::uint64_t>(n)); }

    // A decimal text of a value between low and high (units), with 0 to `maxDecimals`
    // decimals, sometimes in one of the other forms the reader takes (sign, exponent,
    // trailing zeros).
    std::string Number(long low, long high, int maxDecimals)
    {
        const long whole = low + Below(high - low);
        const int decimals = static_cast<int>(Below(maxDecimals + 1));
        std::string text = std::to_string(whole);
        if (decimals > 0) {
            text += '.';
            for (int i = 0; i < decimals; ++i)
                text += static_cast<char>('0' + Below(10));
        }
        switch (Below(16)) {
        case 0: return "+" + text;
        case 1: return text + (decimals > 0 ? "00" : ".0");
        case 2: {  // the same value with an exponent: d.ddd...eK
            const std::size_t point = std::to_string(whole).size();
            std::string digits = text;
            digits.erase(point, 1);
            return digits.substr(0, 1) + "." + digits.substr(1) + "e" + std::to_string(point - 1);
        }
        default: return text;
        }
    }

private:
    std::uint64_t state_;
};

enum class Kind { Grid, Degrees };

std::string Pair(Rows& rows, Kind kind, bool swap = false)
{
    std::string x, y;
    if (kind == Kind::Grid) {
        x = rows.Number(140000, 360000, 4);
        y = rows.Number(2400000, 2800000, 4);
    } else {
        x = rows.Number(119, 123, 9);
        y = rows.Number(21, 26, 9);
    }
    return swap ? y + " " + x : x + " " + y;
}

// One pair a line, with the line ends and blanks the pair stream takes.
std::string PairLines(Rows& rows, Kind kind, int count)
{
    static const char* const kEnds[] = {"\n", "\n", "\n", "\r\n", "\r\n", " \n", "\t\n"};
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string pair = Pair(rows, kind);
        if (rows.Below(8) == 0)
            pair.replace(pair.find(' '), 1, rows.Below(2) ? "\t" : "   ");
        text += (rows.Below(10) == 0 ? " " : "") + pair + kEnds[rows.Below(7)];
    }
    return text;
}

// Numbers paired over line ends: one, two or three numbers a line.
std::string AcrossLines(Rows& rows, Kind kind, int count)
{
    std::string text;
    int onLine = 0;
    for (int i = 0; i < count; ++i) {
        const std::string pair = Pair(rows, kind);
        const std::size_t blank = pair.find(' ');
        for (const std::string& number : {pair.substr(0, blank), pair.substr(blank + 1)}) {
            text += number;
            ++onLine;
            if (onLine >= 1 + rows.Below(3)) {
                text += '\n';
                onLine = 0;
            } else {
                text += ' ';
            }
        }
    }
    return text + "\n";
}

// Records: an ID, the two coordinates, a name and a remark, with a header line.
std::string Records(Rows& rows, Kind kind, int count, char delimiter, bool header)
{
    const char d = delimiter;
    std::string text;
    if (header)
        text += std::string("id") + d + (kind == Kind::Grid ? "E" : "lon") + d + (kind == Kind::Grid ? "N" : "lat") +
                d + "name" + d + "remark\n";
    static const char* const kNames[] = {"BM-1", "三角點", "\"a, b\"", "", "Lu Shan"};
    for (int i = 0; i < count; ++i) {
        std::string pair = Pair(rows, kind);
        pair[pair.find(' ')] = d;
        std::string name = kNames[rows.Below(5)];
        if (d != ',' && name.find(',') != std::string::npos)
            name = "a b";
        if (d == ' ' && name.find(' ') != std::string::npos)
            name = "ab";
        text += std::to_string(i + 1) + d + pair + d + name + d + std::to_string(rows.Below(1000)) + "\n";
    }
    return text;
}

struct Digest {
    std::uint64_t hash;
    std::size_t size;
    int status;
};

Digest RunAndDigest(const std::string& input, const std::string& arguments)
{
    const std::filesystem::path dir = testing::TempDir();
    const std::string tag = std::to_string(getpid());
    const std::string in = (dir / ("kartovel_golden_in_" + tag)).string();
    const std::string out = (dir / ("kartovel_golden_out_" + tag)).string();
    std::ofstream(in, std::ios::binary) << input;
    const std::string command = std::string("LC_ALL=C.UTF-8 ") + KARTOVEL_CONVERT + " " + arguments + " < " + in +
                                " > " + out + " 2>/dev/null";
    const int raw = std::system(command.c_str());
    std::ifstream stream(out, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 0x100000001B3ull;
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    return {hash, bytes.size(), WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
}

}  // namespace

TEST(GoldenOutput, EveryExistingOptionOnAMillionRows)
{
    struct Case {
        const char* arguments;
        std::string (*input)(Rows&);
        std::uint64_t hash;
        std::size_t size;
    };
    constexpr int kRows = 80000;  // 13 cases: 1,040,000 rows
    const std::vector<Case> table = {
        {"", [](Rows& r) { return PairLines(r, Kind::Grid, kRows); }, 0xdefe10a26066215cull, 1502591},
        {"--ellipsoid grs80 -j 1", [](Rows& r) { return PairLines(r, Kind::Grid, kRows); }, 0x8b813b021c2e0413ull, 1502457},
        {"--to-tm2 -j 3", [](Rows& r) { return PairLines(r, Kind::Degrees, kRows); }, 0xb8d3883596d870f7ull, 1654456},
        {"--to-tm2 --ellipsoid=TWD97", [](Rows& r) { return PairLines(r, Kind::Degrees, kRows); }, 0x881ae3a696274eddull, 1654263},
        {"--to-geographic --ellipsoid twd67 --pairs-across-lines", [](Rows& r) { return AcrossLines(r, Kind::Grid, kRows); }, 0x84eb4b9b0d3f19e3ull, 1502174},
        {"--to-tm2 --ellipsoid grs80 --pairs-across-lines -j 2", [](Rows& r) { return AcrossLines(r, Kind::Degrees, kRows); }, 0x4cb3922a6c706863ull, 1654316},
        {"--columns 2,3", [](Rows& r) { return Records(r, Kind::Grid, kRows, ',', false); }, 0x369922a10b958495ull, 4478998},
        {"--columns E,N --ellipsoid grs80", [](Rows& r) { return Records(r, Kind::Grid, kRows, ',', true); }, 0xf3487d2d454c9937ull, 4476965},
        {"--to-tm2 --columns lon,lat --replace -j 1", [](Rows& r) { return Records(r, Kind::Degrees, kRows, ',', true); }, 0x8639446ef586a133ull, 2930551},
        {"--to-tm2 --columns 2,3 --delimiter ';' --ellipsoid grs80", [](Rows& r) { return Records(r, Kind::Degrees, kRows, ';', false); }, 0x4c228e5cd58f6d93ull, 4354409},
        {"--columns 2,3 --delimiter tab --replace", [](Rows& r) { return Records(r, Kind::Grid, kRows, '\t', true); }, 0x2b13d43f32859c1ull, 2730921},
        {"--columns 2,3 --delimiter ' ' -j 5", [](Rows& r) { return Records(r, Kind::Grid, kRows, ' ', false); }, 0x22a0101194d4aa07ull, 4335595},
        {"--delimiter ';' --quiet", [](Rows& r) { return Records(r, Kind::Grid, kRows, ';', false); }, 0xfa405e7c6f8882d2ull, 4431017},
    };
    std::uint64_t seed = 20261209;
    for (const Case& c : table) {
        Rows rows(seed++);
        const Digest got = RunAndDigest(c.input(rows), c.arguments);
        EXPECT_EQ(got.status, 0) << c.arguments;
        EXPECT_TRUE(got.hash == c.hash && got.size == c.size)
            << "kartovel-convert " << c.arguments << ": got digest 0x" << std::hex << got.hash << std::dec
            << " of " << got.size << " bytes, recorded 0x" << std::hex << c.hash << std::dec << " of " << c.size;
    }
}
