// kartovel-convert as a script sees it: the built program is run on files and standard
// input, and its output, messages and exit status are compared with tables and with
// the batch page's own per-row conversion of the same file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/ellipsoid.h"
#include "text/batch_reader.h"
#include "text/conversion.h"

extern char** environ;

// A folder of its own for each test process, removed when the process ends.
class Scratch {
public:
    Scratch()
    {
        std::string pattern = testing::TempDir() + "kartovel_convert_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        dir_ = pattern;
    }
    ~Scratch() { std::filesystem::remove_all(dir_); }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};

static const std::string& ScratchDir()
{
    static const Scratch scratch;
    return scratch.Dir();
}

static std::string PathOf(const std::string& name)
{
    return ScratchDir() + "/" + name;
}

static std::string WriteFile(const std::string& name, const std::string& bytes)
{
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

static std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Outcome {
    int status;  // the exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs the converter with standard input from `input` and both outputs into files.
static Outcome RunConvert(const std::vector<std::string>& arguments, const std::string& input = "")
{
    const std::string inPath = WriteFile("stdin", input);
    const std::string outPath = PathOf("stdout");
    const std::string errPath = PathOf("stderr");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::vector<std::string> words{KARTOVEL_CONVERT};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, KARTOVEL_CONVERT, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {-1, "", "cannot start " KARTOVEL_CONVERT};
    int wait = 0;
    waitpid(pid, &wait, 0);
    return {WIFEXITED(wait) ? WEXITSTATUS(wait) : -1, ReadFile(outPath), ReadFile(errPath)};
}

// The lines the batch page shows after loading `file` and pressing compute: every
// loaded pair's 15-digit table texts through the result-line rule.
static std::string BatchPageLines(ConversionMode mode, const Ellipsoid& ellipsoid, const std::string& file)
{
    std::string lines;
    for (const BatchPair& pair : ReadBatchPairs(file).pairs) {
        lines += BatchResultLine(mode, ellipsoid, BatchCellText(pair.x), BatchCellText(pair.y));
        lines += '\n';
    }
    return lines;
}

// Where two outputs first differ, as "line N: got ... expected ...".
static std::string FirstDifference(const std::string& got, const std::string& expected)
{
    std::istringstream a(got), b(expected);
    std::string lineA, lineB;
    for (int n = 1;; ++n) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB)
            return got == expected ? "no difference" : "only in the final line end";
        if (!moreA || !moreB || lineA != lineB)
            return "line " + std::to_string(n) + ": got '" + (moreA ? lineA : "(end)") + "' expected '" +
                   (moreB ? lineB : "(end)") + "'";
    }
}

// The values stated for the batch page with GRS67, and the ways of writing them that the
// reader accepts.
TEST(Convert, ResultLines)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::string input;
        std::string expected;
    };
    const std::vector<Case> table = {
        {"defaults: TM2 to geographic on GRS67", {}, "247342 2652335\n250000 2600000\n",
         "120.97388 23.97564\n121 23.50307\n"},
        {"the defaults spelt out", {"--to-geographic", "--ellipsoid", "grs67"}, "247342 2652335\n250000 2600000\n",
         "120.97388 23.97564\n121 23.50307\n"},
        {"geographic to TM2", {"--to-tm2"}, "121 23.5\n120.973 23.97\n", "250000 2599660.18\n247252.33 2651709.99\n"},
        {"option with =", {"--to-tm2", "--ellipsoid=grs67"}, "121 23.5\n", "250000 2599660.18\n"},
        {"the last direction counts", {"--to-tm2", "--to-geographic"}, "250000 2600000\n", "121 23.50307\n"},
        {"tabs, CR LF, no final line end", {}, "247342\t2652335\r\n250000 2600000", "120.97388 23.97564\n121 23.50307\n"},
        {"several pairs on a line, one pair over two lines", {"--to-tm2"}, "121 23.5 120.973\n23.97\n",
         "250000 2599660.18\n247252.33 2651709.99\n"},
        {"exponents and signs", {"--to-tm2"}, "1.21e2 +2.35E1\n", "250000 2599660.18\n"},
        {"Ctrl-Z ends the file", {}, std::string("250000 2600000\n\x1A junk", 22), "121 23.50307\n"},
        {"a leading UTF-8 byte-order mark is skipped", {}, "\xEF\xBB\xBF" "247342 2652335\n", "120.97388 23.97564\n"},
        {"empty input", {}, "", ""},
        {"blanks only", {"--to-tm2"}, " \n\t\r\n", ""},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunConvert(c.arguments, c.input);
        EXPECT_EQ(outcome.out, c.expected);
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.status, 0);
    }
}

// Numbers written with more digits than the table's 15, each found next to a rounding
// boundary of its result line: the line of the 15-digit table text is expected, and
// converting the number as written would give another line.
TEST(Convert, RoundedToTheTableFirst)
{
    struct Case {
        ConversionMode mode;
        int ellipsoid;
        std::string x;
        std::string y;
        std::string expected;
        std::string unroundedLine;  // the line of the texts as written, for contrast
    };
    const std::vector<Case> table = {
        {GeographicToTM2, 0, "121.0123000131524", "23.5", "251256.21 2599660.24", "251256.22 2599660.24"},
        {GeographicToTM2, 1, "120.7", "23.510000000027638", "219362.97 2600790.74", "219362.97 2600790.75"},
        {TM2ToGeographic, 0, "247342.50860477946", "2652335", "120.97388 23.97564", "120.97389 23.97564"},
        {TM2ToGeographic, 1, "247342", "2652336.0959695419", "120.97388 23.97573", "120.97388 23.97574"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.x + " " + c.y);
        ASSERT_EQ(BatchResultLine(c.mode, kEllipsoids[c.ellipsoid], c.x, c.y), c.unroundedLine);
        const Outcome outcome = RunConvert({c.mode == TM2ToGeographic ? "--to-geographic" : "--to-tm2",
                                            "--ellipsoid", c.ellipsoid == 0 ? "grs67" : "grs80"},
                                           c.x + " " + c.y + "\n");
        EXPECT_EQ(outcome.out, c.expected + "\n");
        EXPECT_EQ(outcome.status, 0);
    }
}

// A file of random points: inside the grid's or the geographic box of Taiwan mostly,
// some far outside it; written in the forms people and programs use, including 17
// significant digits, which the table shows rounded to 15.
static std::string RandomFile(ConversionMode mode, int pairs, std::uint64_t seed)
{
    static const char* const kGridForms[] = {"%.2f %.2f\n", "%.17g\t%.17g\r\n", "%.6e %.6e\n", "%.0f  %.0f\n", "%.3f\n%.3f\n"};
    static const char* const kDegreeForms[] = {"%.9f %.9f\n", "%.17g %.17g\n", "%.5f\t%.5f\r\n", "%.12e %.12e\n", "%.7f %.7f "};
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> form(0, 4);
    std::string file;
    char line[128];
    for (int i = 0; i < pairs; ++i) {
        const bool outside = i % 50 == 7;
        double x, y;
        if (mode == TM2ToGeographic) {
            x = outside ? -2e6 + unit(random) * 4e6 : 150000 + unit(random) * 200000;
            y = outside ? -9e6 + unit(random) * 1.8e7 : 2400000 + unit(random) * 400000;
            std::snprintf(line, sizeof line, kGridForms[form(random)], x, y);
        } else {
            x = outside ? 60 + unit(random) * 120 : 119.5 + unit(random) * 3;
            y = outside ? -80 + unit(random) * 160 : 21.5 + unit(random) * 4;
            std::snprintf(line, sizeof line, kDegreeForms[form(random)], x, y);
        }
        file += line;
    }
    return file;
}

// Both directions on both ellipsoids: the converter's lines are the batch page's lines,
// whether one thread converts them, two, or more threads than blocks of work.
TEST(Convert, SameLinesAsTheBatchPage)
{
    struct Case {
        ConversionMode mode;
        const char* direction;
        int ellipsoid;
        const char* ellipsoidName;
    };
    const std::vector<Case> table = {
        {TM2ToGeographic, "--to-geographic", 0, "grs67"},
        {TM2ToGeographic, "--to-geographic", 1, "grs80"},
        {GeographicToTM2, "--to-tm2", 0, "grs67"},
        {GeographicToTM2, "--to-tm2", 1, "grs80"},
    };
    // Three blocks of work and a part of a fourth.
    const int pairs = 3 * 4096 + 100;
    for (const Case& c : table) {
        SCOPED_TRACE(std::string(c.direction) + " " + c.ellipsoidName);
        const std::string file = RandomFile(c.mode, pairs, 1000 + c.mode * 2 + c.ellipsoid);
        const std::string path = WriteFile("points.txt", file);
        const std::string expected = BatchPageLines(c.mode, kEllipsoids[c.ellipsoid], file);
        ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), pairs);
        for (const char* jobs : {"1", "2", "7"}) {
            SCOPED_TRACE(std::string("--jobs ") + jobs);
            const Outcome outcome = RunConvert({c.direction, "--ellipsoid", c.ellipsoidName, "--jobs", jobs, path});
            EXPECT_TRUE(outcome.out == expected) << FirstDifference(outcome.out, expected);
            EXPECT_EQ(outcome.err, "");
            EXPECT_EQ(outcome.status, 0);
        }
    }
}

// Standard input and several files: one output, in the order given.
TEST(Convert, InputsInOrder)
{
    const std::string a = WriteFile("a.txt", "247342 2652335\n");
    const std::string b = WriteFile("b.txt", "250000 2600000\n250000 2700000\n");
    const std::string empty = WriteFile("empty.txt", "");
    const std::string linesA = "120.97388 23.97564\n";
    const std::string linesB = BatchPageLines(TM2ToGeographic, kGRS67, "250000 2600000\n250000 2700000\n");
    const std::string linesIn = BatchPageLines(TM2ToGeographic, kGRS67, "250000 2500000\n");
    ASSERT_EQ(linesB.substr(0, 13), "121 23.50307\n");
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::string expected;
    };
    const std::vector<Case> table = {
        {"standard input without FILE", {}, linesIn},
        {"standard input as -", {"-"}, linesIn},
        {"two files", {a, b}, linesA + linesB},
        {"the same file twice", {b, b}, linesB + linesB},
        {"an empty file in between", {a, empty, b}, linesA + linesB},
        {"standard input between files", {b, "-", a}, linesB + linesIn + linesA},
        {"standard input read out once", {"-", "-"}, linesIn},
        {"options after files", {a, "--jobs", "2", b}, linesA + linesB},
        {"-- ends the options", {"--", a}, linesA},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunConvert(c.arguments, "250000 2500000\n");
        EXPECT_EQ(outcome.out, c.expected);
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.status, 0);
    }
}

// A run stops at the first problem: the lines before it are written, the message names
// the file and line, and later files are not read.
TEST(Convert, Stops)
{
    const std::string good = WriteFile("good.txt", "250000 2600000\n");
    const std::string goodLine = "121 23.50307\n";
    struct Case {
        const char* name;
        std::string file;       // written as stop.txt; its path replaces {stop}
        std::vector<std::string> arguments;
        std::string expectedOut;
        std::string expectedErr;
    };
    const std::string missing = PathOf("missing.txt");
    const std::vector<Case> table = {
        {"letters after a pair", "247342 2652335\n250000 abc\n", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:2: cannot read a pair of numbers at \"250000 abc\"\n"},
        {"a last number without its partner", "247342 2652335 250000", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:1: cannot read a pair of numbers at \"250000\"\n"},
        {"byte-order mark after the start", "247342 2652335\n\xEF\xBB\xBF" "250000 2600000\n", {"{stop}"},
         "120.97388 23.97564\n", "{stop}:2: cannot read a pair of numbers at \"\\xEF\\xBB\\xBF250000 2600000\"\n"},
        {"comma between the numbers, third line", "121 23.5\n\n121,23.5\n", {"--to-tm2", "{stop}"},
         "250000 2599660.18\n", "{stop}:3: cannot read a pair of numbers at \"121,23.5\"\n"},
        {"exponent without digits", "1e 2\n", {"{stop}"}, "", "{stop}:1: cannot read a pair of numbers at \"1e 2\"\n"},
        {"a number beyond the double range", "247342 2652335\n1e400 2600000\n250000 2600000\n", {"{stop}"},
         "120.97388 23.97564\n", "{stop}:2: 'INF' is not a valid floating point value\n"},
        {"y beyond the range, a line below its x", "247342 2652335\n250000\n-1e400\n250000 2600000\n", {"{stop}"},
         "120.97388 23.97564\n", "{stop}:3: '-INF' is not a valid floating point value\n"},
        {"both beyond the range: x is read first", "1 2\n5e308\n-5e308\n", {"--to-tm2", "{stop}"},
         "-33729436 3242253.49\n", "{stop}:2: 'INF' is not a valid floating point value\n"},
        {"a northing whose arc difference leaves the double range", "250000 2600000\n250000 1.7976e308\n",
         {"{stop}"}, goodLine, "{stop}:2: Floating point overflow\n"},
        {"a stop in the first file: later files unread", "250000 2600000 x\n", {"{stop}", good}, goodLine,
         "{stop}:1: cannot read a pair of numbers at \"x\"\n"},
        {"a file that cannot be opened after a good one", "", {good, missing, good}, goodLine,
         "kartovel-convert: " + missing + ": No such file or directory\n"},
        {"a folder", "", {ScratchDir()}, "", "kartovel-convert: " + ScratchDir() + ": Is a directory\n"},
        {"standard input is named <stdin>", "", {"-"}, goodLine, "<stdin>:2: cannot read a pair of numbers at \"?\"\n"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const std::string stop = WriteFile("stop.txt", c.file);
        std::vector<std::string> arguments = c.arguments;
        for (std::string& argument : arguments)
            if (argument == "{stop}") argument = stop;
        std::string expectedErr = c.expectedErr;
        if (const std::size_t at = expectedErr.find("{stop}"); at != std::string::npos)
            expectedErr.replace(at, 6, stop);
        const Outcome outcome = RunConvert(arguments, "250000 2600000\n?\n");
        EXPECT_EQ(outcome.out, c.expectedOut);
        EXPECT_EQ(outcome.err, expectedErr);
        EXPECT_EQ(outcome.status, 1);
    }
}

// A stop deep in a long file, converted on several threads: exactly the lines before it.
TEST(Convert, StopsInALaterBlock)
{
    const std::string before = RandomFile(TM2ToGeographic, 5000, 77);
    const std::string after = RandomFile(TM2ToGeographic, 3000, 78);
    const std::string expected = BatchPageLines(TM2ToGeographic, kGRS67, before);
    const int stopLine = static_cast<int>(std::count(before.begin(), before.end(), '\n')) + 1;
    struct Case {
        const char* name;
        std::string badPair;
        std::string message;
    };
    const std::vector<Case> table = {
        {"INF row", "1e400 2600000\n", "'INF' is not a valid floating point value"},
        {"unreadable row", "250000 N\n", "cannot read a pair of numbers at \"250000 N\""},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteFile("long.txt", before + c.badPair + after);
        for (const char* jobs : {"1", "2"}) {
            SCOPED_TRACE(std::string("--jobs ") + jobs);
            const Outcome outcome = RunConvert({"--jobs", jobs, path});
            EXPECT_TRUE(outcome.out == expected) << FirstDifference(outcome.out, expected);
            EXPECT_EQ(outcome.err, path + ":" + std::to_string(stopLine) + ": " + c.message + "\n");
            EXPECT_EQ(outcome.status, 1);
        }
    }
}

// The command line itself: help and version on standard output with status 0; anything
// not understood gives the usage on standard error, status 2, and converts nothing.
TEST(Convert, CommandLine)
{
    const std::string usage =
        "Usage: kartovel-convert [--to-geographic | --to-tm2] [--ellipsoid grs67|grs80] [--jobs N] [FILE...]\n";
    const std::string tryHelp = "Try 'kartovel-convert --help' for more information.\n";
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string outStart;  // the start of standard output
        std::string err;       // all of standard error
    };
    const std::vector<Case> table = {
        {{"--version"}, 0, "kartovel-convert 1.21\n", ""},
        {{"--help"}, 0, usage + "\n", ""},
        {{"--to-tm2", "--help"}, 0, usage + "\n", ""},
        {{"--bogus"}, 2, "", "kartovel-convert: unknown option '--bogus'\n" + usage + tryHelp},
        {{"-j", "2"}, 2, "", "kartovel-convert: unknown option '-j'\n" + usage + tryHelp},
        {{"--help", "--bogus"}, 2, "", "kartovel-convert: unknown option '--bogus'\n" + usage + tryHelp},
        {{"--ellipsoid", "wgs84"}, 2, "", "kartovel-convert: unknown ellipsoid 'wgs84' (grs67 or grs80)\n" + usage + tryHelp},
        {{"--ellipsoid", "GRS80"}, 2, "", "kartovel-convert: unknown ellipsoid 'GRS80' (grs67 or grs80)\n" + usage + tryHelp},
        {{"--ellipsoid"}, 2, "", "kartovel-convert: option '--ellipsoid' needs a value\n" + usage + tryHelp},
        {{"--jobs", "0"}, 2, "", "kartovel-convert: '0' is not a count of jobs from 1 to 1024\n" + usage + tryHelp},
        {{"--jobs=1025"}, 2, "", "kartovel-convert: '1025' is not a count of jobs from 1 to 1024\n" + usage + tryHelp},
        {{"--jobs", "two"}, 2, "", "kartovel-convert: 'two' is not a count of jobs from 1 to 1024\n" + usage + tryHelp},
        {{"--jobs", "2x"}, 2, "", "kartovel-convert: '2x' is not a count of jobs from 1 to 1024\n" + usage + tryHelp},
        {{"--jobs="}, 2, "", "kartovel-convert: '' is not a count of jobs from 1 to 1024\n" + usage + tryHelp},
        {{"--to-tm2=yes"}, 2, "", "kartovel-convert: option '--to-tm2' takes no value\n" + usage + tryHelp},
    };
    for (const Case& c : table) {
        std::string joined;
        for (const std::string& argument : c.arguments)
            joined += argument + " ";
        SCOPED_TRACE(joined);
        // Standard input holds a valid pair: a bad command line must not convert it.
        const Outcome outcome = RunConvert(c.arguments, "250000 2600000\n");
        EXPECT_EQ(outcome.out.substr(0, c.outStart.size()), c.outStart);
        if (c.outStart.empty()) {
            EXPECT_EQ(outcome.out, "");
        }
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(outcome.status, c.status);
    }
}
