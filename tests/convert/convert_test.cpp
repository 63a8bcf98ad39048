// kartovel-convert as a script sees it: the built program is run on files and standard
// input, and its output, messages and exit status are compared with tables and with
// the batch page's own per-row conversion of the same file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/ellipsoid.h"
#include "text/batch_reader.h"
#include "text/conversion.h"

extern char** environ;

// The converter's own messages follow the user's language; these tests read the English
// ones unless they ask for Chinese.
static const bool kEnglishMessages = [] {
    unsetenv("LANGUAGE");
    return setenv("LC_ALL", "C.UTF-8", 1) == 0;
}();

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
// With `outTarget`, standard output goes there (such as /dev/full) and is not read back.
static Outcome RunConvert(const std::vector<std::string>& arguments, const std::string& input = "",
                          const std::string& outTarget = "", const std::string& inSource = "")
{
    const std::string inPath = inSource.empty() ? WriteFile("stdin", input) : inSource;
    const std::string outPath = outTarget.empty() ? PathOf("stdout") : outTarget;
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
    return {WIFEXITED(wait) ? WEXITSTATUS(wait) : -1, outTarget.empty() ? ReadFile(outPath) : "", ReadFile(errPath)};
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
        {"several pairs on a line, one pair over two lines", {"--to-tm2", "--pairs-across-lines"},
         "121 23.5 120.973\n23.97\n", "250000 2599660.18\n247252.33 2651709.99\n"},
        {"one number on every line", {"--to-tm2"}, "121\n23.5\n\n120.973\n23.97\n",
         "250000 2599660.18\n247252.33 2651709.99\n"},
        {"a byte-order mark before pairs across lines", {"--pairs-across-lines"}, "\xEF\xBB\xBF" "247342\n2652335\n",
         "120.97388 23.97564\n"},
        {"numbers that touch", {"--to-tm2"}, "121+23.5e0\n", "250000 2599660.18\n"},
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
static std::string RandomFile(ConversionMode mode, int pairs, std::uint64_t seed, bool pairPerLine = false)
{
    static const char* const kGridForms[] = {"%.2f %.2f\n", "%.17g\t%.17g\r\n", "%.6e %.6e\n", "%.0f  %.0f\n", "%.3f\n%.3f\n"};
    static const char* const kDegreeForms[] = {"%.9f %.9f\n", "%.17g %.17g\n", "%.5f\t%.5f\r\n", "%.12e %.12e\n", "%.7f %.7f "};
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    // The last form of each puts a pair over two lines, or no line end after it.
    std::uniform_int_distribution<int> form(0, pairPerLine ? 3 : 4);
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
        const std::string file = RandomFile(c.mode, pairs, 1000 + c.mode * 2 + c.ellipsoid, true);
        const std::string path = WriteFile("points.txt", file);
        const std::string expected = BatchPageLines(c.mode, kEllipsoids[c.ellipsoid], file);
        ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), pairs);
        // Pairs over line ends, read the page's way.
        const std::string mixed = RandomFile(c.mode, pairs, 2000 + c.mode * 2 + c.ellipsoid);
        const std::string mixedPath = WriteFile("mixed.txt", mixed);
        const std::string mixedExpected = BatchPageLines(c.mode, kEllipsoids[c.ellipsoid], mixed);
        const Outcome across =
            RunConvert({c.direction, "--ellipsoid", c.ellipsoidName, "--pairs-across-lines", "--quiet", mixedPath});
        EXPECT_TRUE(across.out == mixedExpected) << FirstDifference(across.out, mixedExpected);
        EXPECT_EQ(across.err, "");
        EXPECT_EQ(across.status, 0);
        for (const char* jobs : {"1", "2", "7"}) {
            SCOPED_TRACE(std::string("--jobs ") + jobs);
            const Outcome outcome =
                RunConvert({c.direction, "--ellipsoid", c.ellipsoidName, "--jobs", jobs, "--quiet", path});
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
    // What the pair stream adds when another way of reading fits the file.
    const std::string words = "; the line holds words, such as a header line: read the file with --columns X,Y "
                              "(names from the header line, or field numbers from 1)\n";
    const std::string commas = "; commas or semicolons separate the fields, as in a spreadsheet's CSV file: read it "
                               "with --columns X,Y (field numbers from 1, or names from the header line), and "
                               "--delimiter if needed\n";
    const std::string quotes = "; the numbers are in quotation marks, as some programs write CSV files: read it with "
                               "--columns X,Y, and --delimiter if needed\n";
    const std::string utf16 = "; the file is UTF-16 text: save it as UTF-8 (in a spreadsheet: Save As, \"CSV UTF-8\") "
                              "and convert it again, with --columns X,Y for a spreadsheet's file\n";
    const std::vector<Case> table = {
        {"letters after a pair", "247342 2652335\n250000 abc\n", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:2: cannot read a pair of numbers at \"250000 abc\"" + words},
        {"a Chinese header, decoded", "247342 2652335\n東 北\n", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:2: cannot read a pair of numbers at \"東 北\"" + words},
        {"a CSV header", "E,N\n247342,2652335\n", {"{stop}"}, "", "{stop}:1: cannot read a pair of numbers at \"E,N\"" + words},
        {"quoted numbers", "\"247342\" \"2652335\"\n", {"{stop}"}, "",
         "{stop}:1: cannot read a pair of numbers at \"\"247342\" \"2652335\"\"" + quotes},
        {"a Big5 note: bytes, never stray letters", "247342 2652335 \xB5\xF9\xD7\xA9\n", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:1: cannot read a pair of numbers at \"\\xB5\\xF9\\xD7\\xA9\"; the line is not UTF-8 text (probably "
         "another encoding, such as Big5): save the file as UTF-8 (in a spreadsheet: Save As, \"CSV UTF-8\") and "
         "convert it again, with --columns X,Y for a file with a header line\n"},
        {"a last number without its partner", "247342 2652335 250000", {"--pairs-across-lines", "{stop}"},
         "120.97388 23.97564\n", "{stop}:1: cannot read a pair of numbers at \"250000\"\n"},
        {"three numbers on a line", "247342 2652335\n250000 1 2\n", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:2: 3 numbers on the line, where one pair \"x y\" is expected; use --columns for a file with more "
         "fields, --pairs-across-lines to pair numbers across lines\n"},
        {"one number on a pair's line", "247342 2652335\n\n250000\n2600000\n", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:3: 1 numbers on the line, where one pair \"x y\" is expected; use --columns for a file with more "
         "fields, --pairs-across-lines to pair numbers across lines\n"},
        {"two numbers in a file of one a line", "247342\n2652335\n250000 2600000\n", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:3: 2 numbers on the line, where this file has one number a line; write one number a line, or one "
         "pair \"x y\" a line\n"},
        {"an odd count of numbers one a line", "247342\n2652335\n250000\n", {"{stop}"}, "120.97388 23.97564\n",
         "{stop}:3: cannot read a pair of numbers at \"250000\"\n"},
        {"a UTF-16 byte-order mark", std::string("\xFF\xFE" "2\0" "4\0", 6), {"{stop}"}, "",
         "{stop}:1: cannot read a pair of numbers at \"24\"" + utf16},
        {"UTF-16 without a mark", std::string("2\0" "4\0" " \0" "5\0", 8), {"{stop}"}, "",
         "{stop}:1: cannot read a pair of numbers at \"24 5\"" + utf16},
        {"byte-order mark after the start", "247342 2652335\n\xEF\xBB\xBF" "250000 2600000\n", {"{stop}"},
         "120.97388 23.97564\n", "{stop}:2: cannot read a pair of numbers at \"\\xEF\\xBB\\xBF250000 2600000\"\n"},
        {"comma between the numbers, third line", "121 23.5\n\n121,23.5\n", {"--to-tm2", "{stop}"},
         "250000 2599660.18\n", "{stop}:3: cannot read a pair of numbers at \"121,23.5\"" + commas},
        {"exponent without digits", "1e 2\n", {"{stop}"}, "", "{stop}:1: cannot read a pair of numbers at \"1e 2\"\n"},
        {"a number beyond the double range", "247342 2652335\n1e400 2600000\n250000 2600000\n", {"{stop}"},
         "120.97388 23.97564\n", "{stop}:2: 'INF' is not a valid floating point value\n"},
        {"y beyond the range, a line below its x", "247342 2652335\n250000\n-1e400\n250000 2600000\n", {"--pairs-across-lines", "{stop}"},
         "120.97388 23.97564\n", "{stop}:3: '-INF' is not a valid floating point value\n"},
        {"both beyond the range: x is read first", "1 2\n5e308\n-5e308\n", {"--to-tm2", "--pairs-across-lines", "{stop}"},
         "-33729436 3242253.49\n", "{stop}:2: 'INF' is not a valid floating point value\n"},
        {"a northing whose arc difference leaves the double range", "250000 2600000\n250000 1.7976e308\n",
         {"{stop}"}, goodLine, "{stop}:2: Floating point overflow\n"},
        {"a stop in the first file: later files unread", "250000 2600000 x\n", {"{stop}", good}, goodLine,
         "{stop}:1: cannot read a pair of numbers at \"x\"" + words},
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
    const std::string before = RandomFile(TM2ToGeographic, 30000, 77, true);
    const std::string after = RandomFile(TM2ToGeographic, 3000, 78, true);
    const std::string expected = BatchPageLines(TM2ToGeographic, kGRS67, before);
    const int stopLine = static_cast<int>(std::count(before.begin(), before.end(), '\n')) + 1;
    struct Case {
        const char* name;
        std::string badPair;
        std::string message;
    };
    const std::vector<Case> table = {
        {"INF row", "1e400 2600000\n", "'INF' is not a valid floating point value"},
        {"unreadable row", "250000 N\n", "cannot read a pair of numbers at \"250000 N\"; the line holds words, "
                           "such as a header line: read the file with --columns X,Y (names from the header line, or "
                           "field numbers from 1)"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteFile("long.txt", before + c.badPair + after);
        for (const char* jobs : {"1", "2"}) {
            SCOPED_TRACE(std::string("--jobs ") + jobs);
            const Outcome outcome = RunConvert({"--jobs", jobs, "--quiet", path});
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
        "Usage: kartovel-convert [--to-geographic | --to-tm2] [OPTION]... [FILE...]\n";
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
        {{"-V"}, 0, "kartovel-convert 1.21\n", ""},
        {{"-h"}, 0, usage + "\n", ""},
        {{"-j", "2", "-x"}, 2, "", "kartovel-convert: unknown option '-x'\n" + usage + tryHelp},
        {{"-j0"}, 2, "", "kartovel-convert: '0' is not a count of jobs from 1 to 64\n" + usage + tryHelp},
        {{"--help", "--bogus"}, 2, "", "kartovel-convert: unknown option '--bogus'\n" + usage + tryHelp},
        {{"--ellipsoid", "wgs84"}, 2, "",
         "kartovel-convert: unknown ellipsoid 'wgs84' (grs67, twd67, grs80 or twd97)\n" + usage + tryHelp},
        {{"--ellipsoid", "twd"}, 2, "",
         "kartovel-convert: unknown ellipsoid 'twd' (grs67, twd67, grs80 or twd97)\n" + usage + tryHelp},
        {{"--columns", "2"}, 2, "",
         "kartovel-convert: '2' is not two columns X,Y (numbers from 1, or names from the header line)\n" + usage +
             tryHelp},
        {{"--columns", "0,1"}, 2, "", "kartovel-convert: column '0' is not a field number from 1 to 999999999\n" +
                                          usage + tryHelp},
        {{"--delimiter", "|"}, 2, "", "kartovel-convert: unknown delimiter '|' (',' ';' tab or blanks)\n" + usage + tryHelp},
        {{"--ellipsoid"}, 2, "", "kartovel-convert: option '--ellipsoid' needs a value\n" + usage + tryHelp},
        {{"--jobs", "0"}, 2, "", "kartovel-convert: '0' is not a count of jobs from 1 to 64\n" + usage + tryHelp},
        {{"--jobs=65"}, 2, "", "kartovel-convert: '65' is not a count of jobs from 1 to 64\n" + usage + tryHelp},
        {{"--jobs", "two"}, 2, "", "kartovel-convert: 'two' is not a count of jobs from 1 to 64\n" + usage + tryHelp},
        {{"--jobs", "2x"}, 2, "", "kartovel-convert: '2x' is not a count of jobs from 1 to 64\n" + usage + tryHelp},
        {{"--jobs="}, 2, "", "kartovel-convert: '' is not a count of jobs from 1 to 64\n" + usage + tryHelp},
        {{"--to-tm2=yes"}, 2, "", "kartovel-convert: option '--to-tm2' takes no value\n" + usage + tryHelp},
        {{"--delimiter", ",", "--decimal-comma"}, 2, "",
         "kartovel-convert: --decimal-comma reads commas as decimal marks, so a comma cannot also separate the "
         "fields; save the file with ';' or tab between the fields and give --delimiter ';' or tab\n" + usage + tryHelp},
        {{"--decimal-comma", "--pairs-across-lines"}, 2, "",
         "kartovel-convert: --pairs-across-lines reads pairs; it does not go with --columns, --delimiter, --replace "
         "or --decimal-comma\n" + usage + tryHelp},
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

// Help and version that cannot be written say so.
TEST(Convert, HelpThatCannotBeWritten)
{
    for (const char* option : {"--help", "--version"}) {
        SCOPED_TRACE(option);
        const Outcome outcome = RunConvert({option}, "", "/dev/full");
        EXPECT_EQ(outcome.err, "kartovel-convert: cannot write the output: No space left on device\n");
        EXPECT_EQ(outcome.status, 1);
    }
}

// Every name of the two ellipsoids, in any case, gives that ellipsoid's lines.
TEST(Convert, EllipsoidNames)
{
    const std::string input = "247342 2652335\n";
    const std::string grs67 = BatchPageLines(TM2ToGeographic, kGRS67, input);
    const std::string grs80 = BatchPageLines(TM2ToGeographic, kGRS80, input);
    ASSERT_NE(grs67, grs80);
    const std::vector<std::pair<std::string, std::string>> table = {
        {"grs67", grs67}, {"TWD67", grs67}, {"Grs67", grs67}, {"twd67", grs67},
        {"grs80", grs80}, {"GRS80", grs80}, {"twd97", grs80}, {"TwD97", grs80},
    };
    for (const auto& [name, expected] : table) {
        SCOPED_TRACE(name);
        const Outcome outcome = RunConvert({"--ellipsoid=" + name}, input);
        EXPECT_EQ(outcome.out, expected);
        EXPECT_EQ(outcome.status, 0);
    }
}

// Points outside Taiwan's area are converted; one warning at the end counts them and
// names the first, unless --quiet.
TEST(Convert, AreaWarning)
{
    const std::string path = WriteFile("area.txt", "121 23.5\n247342 2652335\n250000 2600000\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string input;
        std::string err;
    };
    const std::vector<Case> table = {
        {{"--to-tm2"}, "121 23.5\n120.973 23.97\n", ""},
        {{"--to-tm2", path}, "",
         "kartovel-convert: warning: 2 points lie outside Taiwan's area, the first at " + path +
             ":2; are they TM2 eastings and northings? Then use --to-geographic\n"},
        {{"--to-tm2", "--quiet", path}, "", ""},
        {{"-q", "--to-tm2", path}, "", ""},
        {{}, "247342 2652335\n0 2300000\n500000 2900000\n", ""},
        {{}, "247342 2652335\n\n121 23.5\n", "kartovel-convert: warning: 1 point lies outside Taiwan's area, "
                                             "at <stdin>:3; is it longitude and latitude? Then use --to-tm2\n"},
        {{"--to-tm2"}, "117 20\n124 27\n116.9 23\n", "kartovel-convert: warning: 1 point lies outside Taiwan's area, "
                                                     "at <stdin>:3; is it a TM2 easting and northing? "
                                                     "Then use --to-geographic\n"},
        // Degrees copied latitude first, as map services do, in either direction.
        {{"--to-tm2"}, "121 23.5\n25.04776 121.51706\n", "kartovel-convert: warning: 1 point lies outside Taiwan's "
                                                         "area, at <stdin>:2; x and y look swapped: latitude before "
                                                         "longitude, the order in which Google Maps copies a point; "
                                                         "put the longitude first, for example with --columns 2,1\n"},
        {{}, "25.04776 121.51706\n23.97564 120.97388\n",
         "kartovel-convert: warning: 2 points lie outside Taiwan's area, the first at <stdin>:1; x and y look "
         "swapped: latitude before longitude, the order in which Google Maps copies a point; put the longitude "
         "first, for example with --to-tm2 --columns 2,1\n"},
        // Only when every point outside is swapped degrees.
        {{"--to-tm2"}, "25.04776 121.51706\n247342 2652335\n",
         "kartovel-convert: warning: 2 points lie outside Taiwan's area, the first at <stdin>:1; are they TM2 "
         "eastings and northings? Then use --to-geographic\n"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.input + c.err);
        const Outcome outcome = RunConvert(c.arguments, c.input);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_NE(outcome.out, "");
    }
}

// Spreadsheet files: the chosen fields are converted, everything else comes back as it
// was, and the results are the batch page's texts.
TEST(Convert, Records)
{
    const std::string grid = "120.97388,23.97564";  // 247342 2652335 on GRS67
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::string input;
        std::string expected;
    };
    const std::vector<Case> table = {
        {"comma, header by name", {"--columns", "E,N"}, "id,E,N\n7,247342,2652335\n",
         "id,E,N,longitude,latitude\n7,247342,2652335," + grid + "\n"},
        {"names in any case, quoted header", {"--columns", "e,n"}, "\"id\",\"E\",\"N\"\r\n7,247342,2652335\r\n",
         "\"id\",\"E\",\"N\",longitude,latitude\r\n7,247342,2652335," + grid + "\r\n"},
        {"numbers, no header", {"--columns", "2,3"}, "7,247342,2652335\n", "7,247342,2652335," + grid + "\n"},
        {"header by numbers", {"--columns", "2,3"}, "id,E,N\n7,247342,2652335\n",
         "id,E,N,longitude,latitude\n7,247342,2652335," + grid + "\n"},
        {"semicolon", {"--columns", "1,2"}, "247342;2652335;a,b\n", "247342;2652335;a,b;120.97388;23.97564\n"},
        {"tab", {"--columns", "1,2"}, "247342\t2652335\tx y\n", "247342\t2652335\tx y\t120.97388\t23.97564\n"},
        {"blanks", {"--columns", "2,3"}, "  P1   247342  2652335\n", "  P1   247342  2652335 120.97388 23.97564\n"},
        {"--delimiter beats finding", {"--delimiter", ";", "--columns", "2,3"}, "a,b;247342;2652335\n",
         "a,b;247342;2652335;120.97388;23.97564\n"},
        {"--delimiter alone: fields 1,2", {"--delimiter=tab"}, "247342\t2652335\n", "247342\t2652335\t120.97388\t23.97564\n"},
        {"quotes: numbers, delimiters and \"\" inside",
         {"--columns", "2,3"}, "\"a,\"\"b\"\"\",\"247342\", \"2652335\" ,\"c;d\"\n",
         "\"a,\"\"b\"\"\",\"247342\", \"2652335\" ,\"c;d\"," + grid + "\n"},
        {"pass-through of empty fields and blank lines", {"--columns", "2,3"}, ",247342,2652335,,\n\n",
         ",247342,2652335,,," + grid + "\n\n"},
        {"columns in either order", {"--to-tm2", "--columns", "3,2"}, "id,lat,lon\n1,23.5,121\n",
         "id,lat,lon,easting,northing\n1,23.5,121,250000,2599660.18\n"},
        {"--replace", {"--columns", "E,N", "--replace"}, "E,id,N\n247342,7,2652335\n",
         "longitude,id,latitude\n120.97388,7,23.97564\n"},
        {"--replace, columns swapped", {"--to-tm2", "--columns", "2,1", "--replace"}, "\"23.5\",121,x\n",
         "2599660.18,250000,x\n"},
        {"UTF-8 byte-order mark and text", {"--columns", "座標E,座標N"},
         "\xEF\xBB\xBF名稱,座標E,座標N\n台北,247342,2652335\n",
         "\xEF\xBB\xBF名稱,座標E,座標N,longitude,latitude\n台北,247342,2652335," + grid + "\n"},
        {"byte-order mark, no header", {"--columns", "1,2"}, "\xEF\xBB\xBF" "247342,2652335\n",
         "\xEF\xBB\xBF" "247342,2652335," + grid + "\n"},
        {"byte-order mark, blank lines only", {"--columns", "1,2"}, "\xEF\xBB\xBF\n\n", "\xEF\xBB\xBF\n\n"},
        {"decimal comma, semicolons, header", {"--decimal-comma", "--columns", "E,N"},
         "id;E;N\r\nP1;247342,0;2652335,00\r\nP2;250000;2600000\r\n",
         "id;E;N;longitude;latitude\r\nP1;247342,0;2652335,00;120,97388;23,97564\r\nP2;250000;2600000;121;23,50307\r\n"},
        {"decimal comma, tab found, no header", {"--decimal-comma", "--to-tm2"}, "121\t23,5\n",
         "121\t23,5\t250000\t2599660,18\n"},
        {"decimal comma, blanks found, quotes, exponent", {"--decimal-comma", "--columns", "2,3"},
         "P1  \"2,47342e5\"  2652335\n", "P1  \"2,47342e5\"  2652335 120,97388 23,97564\n"},
        {"decimal comma, --replace", {"--decimal-comma", "--replace", "--to-tm2"}, "121,0;23,5;x\n",
         "250000;2599660,18;x\n"},
        {"decimal comma, first line not a header", {"--decimal-comma", "--delimiter", ";"},
         "247342,5;2652335,5\n", "247342,5;2652335,5;120,97388;23,97565\n"},
        {"more digits than the table", {"--columns", "1,2"}, "247342.50860477946,2652335\n",
         "247342.50860477946,2652335,120.97388,23.97564\n"},
        {"no line end at the end", {"--columns", "1,2"}, "247342,2652335", "247342,2652335," + grid + "\n"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunConvert(c.arguments, c.input);
        EXPECT_EQ(outcome.out, c.expected);
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.status, 0);
    }
}

// A record that cannot be converted stops the run at its line, after the lines before it.
TEST(Convert, RecordStops)
{
    const std::string saveAs = "save the file as UTF-8 (in a spreadsheet: Save As, \"CSV UTF-8\") and convert it again";
    const std::string saveIt = "save it as UTF-8 (in a spreadsheet: Save As, \"CSV UTF-8\") and convert it again";
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::string input;
        std::string out;
        std::string err;
    };
    const std::vector<Case> table = {
        {"a field that is not a number", {"--columns", "E,N"}, "E,N\n247342,2652335\n250000,N/A\n",
         "E,N,longitude,latitude\n247342,2652335,120.97388,23.97564\n",
         "<stdin>:3: field 2: \"N/A\" is not a number; check the fields --columns picks\n"},
        {"a decimal comma", {"--columns", "1,2"}, "247342;2652335\n247342;2652335,5\n", "247342;2652335;" + std::string("120.97388;23.97564\n"),
         "<stdin>:2: field 2: \"2652335,5\" is a number with a decimal comma; give --decimal-comma (the fields must "
         "then be separated by ';' or tab)\n"},
        {"decimal commas on the first line: not a header", {"--columns", "1,2"}, "247342,5;2652335,5\n", "",
         "<stdin>:1: field 1: \"247342,5\" is a number with a decimal comma; give --decimal-comma (the fields must "
         "then be separated by ';' or tab)\n"},
        {"decimal commas quoted in a comma file", {"--columns", "2,3"}, "P1,\"247342,5\",\"2652335,5\"\n", "",
         "<stdin>:1: field 2: \"247342,5\" is a number with a decimal comma; give --decimal-comma (the fields must "
         "then be separated by ';' or tab)\n"},
        {"a decimal point with --decimal-comma", {"--decimal-comma"}, "247342,5;2652335,5\n1;2652335.5\n",
         "247342,5;2652335,5;120,97388;23,97565\n",
         "<stdin>:2: field 2: \"2652335.5\" has a decimal point, where --decimal-comma reads a comma; convert this "
         "file without --decimal-comma\n"},
        {"commas alone between the fields with --decimal-comma", {"--decimal-comma", "--columns", "2,3"},
         "P1,247342,5,2652335,5\n", "",
         "<stdin>:1: the fields are separated by commas, which --decimal-comma reads as decimal marks; save the file "
         "with ';' or tab between the fields\n"},
        {"thousands points with --decimal-comma", {"--decimal-comma"}, "E;N\n247.342,5;2652335\n",
         "E;N;longitude;latitude\n", "<stdin>:2: field 1: \"247.342,5\" is not a number; check the fields --columns picks\n"},
        {"a byte-order mark and nothing else before the stop", {"--columns", "1,2"}, "\xEF\xBB\xBF" "247342\n", "",
         "<stdin>:1: field 2: missing, the line has 1 fields; check --columns and --delimiter\n"},
        {"a missing field", {"--columns", "2,3"}, "a,247342,2652335\nb,250000\n", "a,247342,2652335,120.97388,23.97564\n",
         "<stdin>:2: field 3: missing, the line has 2 fields; check --columns and --delimiter\n"},
        {"a quote not closed", {"--columns", "1,2"}, "247342,\"2652335\n", "",
         "<stdin>:1: field 2: a quote is not closed on the line, or text follows it; correct the quotes of this field\n"},
        {"a name not in the header", {"--columns", "x,y"}, "E,N\n", "",
         "<stdin>:1: no field named \"x\" in the first line; give a name from it, or a field number counted from 1\n"},
        {"UTF-16 with its byte-order mark", {"--columns", "1,2"}, std::string("\xFF\xFE" "E\0,\0N\0", 8), "",
         "<stdin>:1: the file is UTF-16 text; " + saveIt + "\n"},
        {"UTF-16 without a byte-order mark", {"--columns", "1,2"}, std::string("1\0,\0" "2\0\n\0", 8), "",
         "<stdin>:1: the file is UTF-16 text; " + saveIt + "\n"},
        {"Big5 text", {"--columns", "2,3"}, "a,247342,2652335\n\xA5\x78\xA5\x5F,250000,2600000\n",
         "a,247342,2652335,120.97388,23.97564\n", "<stdin>:2: the text is not UTF-8; " + saveAs + "\n"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunConvert(c.arguments, c.input);
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(outcome.status, 1);
    }
}

// A running converter with both ends a pipe held by the test.
class PipedConvert {
public:
    explicit PipedConvert(std::vector<std::string> arguments, int inputFd = -1)
    {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) std::abort();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (inputFd >= 0)
            posix_spawn_file_actions_adddup2(&actions, inputFd, 0);
        else
            posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, PathOf("piped_stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        arguments.insert(arguments.begin(), KARTOVEL_CONVERT);
        std::vector<char*> argv;
        for (std::string& word : arguments) argv.push_back(word.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, KARTOVEL_CONVERT, &actions, nullptr, argv.data(), environ) != 0) std::abort();
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        in_ = in[1];
        out_ = out[0];
        if (inputFd >= 0) CloseInput();
    }
    ~PipedConvert()
    {
        CloseInput();
        if (out_ >= 0) close(out_);
        if (pid_ > 0) Wait();
    }
    void Send(const std::string& bytes) { ASSERT_EQ(write(in_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
    void CloseInput()
    {
        if (in_ >= 0) close(in_);
        in_ = -1;
    }
    // Reads until `count` bytes came or `seconds` passed; what came.
    std::string Receive(std::size_t count, int seconds = 10)
    {
        std::string got;
        char buffer[65536];
        while (got.size() < count) {
            pollfd ready{out_, POLLIN, 0};
            if (poll(&ready, 1, seconds * 1000) <= 0) break;
            const ssize_t n = read(out_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    int Wait()
    {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Err() const { return ReadFile(PathOf("piped_stderr")); }

private:
    pid_t pid_ = 0;
    int in_ = -1;
    int out_ = -1;
};

// Lines come out while the input is still open: each line sent is answered before the
// next is sent, on one thread and on several, for pairs and for records.
TEST(Convert, StreamsAnOpenPipe)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string header;          // sent first, answered by `headerOut`
        std::string headerOut;
        std::string line;            // sent three times
        std::string lineOut;
    };
    const std::vector<Case> table = {
        {{"--jobs", "1"}, "", "", "247342 2652335\n", "120.97388 23.97564\n"},
        {{"--jobs", "2"}, "", "", "247342 2652335\n", "120.97388 23.97564\n"},
        {{"--jobs", "4", "--pairs-across-lines"}, "", "", "247342 2652335\n", "120.97388 23.97564\n"},
        {{"--columns", "E,N"}, "id,E,N\r\n", "id,E,N,longitude,latitude\r\n", "7,247342,2652335\r\n",
         "7,247342,2652335,120.97388,23.97564\r\n"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
        PipedConvert convert(c.arguments);
        if (!c.header.empty()) {
            convert.Send(c.header);
            EXPECT_EQ(convert.Receive(c.headerOut.size()), c.headerOut);
        }
        for (int k = 0; k < 3; ++k) {
            convert.Send(c.line);
            EXPECT_EQ(convert.Receive(c.lineOut.size()), c.lineOut) << "line " << k + 1;
        }
        convert.CloseInput();
        EXPECT_EQ(convert.Receive(1, 10), "");
        EXPECT_EQ(convert.Wait(), 0);
    }
}

// A regular file that shrinks or grows while it is read is reported, exit status 1;
// the lines written before are whole lines of the file as it was.
TEST(Convert, FileThatChangesSize)
{
    std::string file;
    while (file.size() < (8 << 20)) file += "247342.25 2652335.5\n";
    const std::string line = BatchPageLines(TM2ToGeographic, kGRS67, "247342.25 2652335.5\n");
    struct Case {
        const char* name;
        bool grow;
    };
    for (const Case& c : {Case{"cut shorter in the middle of a line", false}, Case{"written on", true}}) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteFile("changing.txt", file);
        const int fd = open(path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        // One thread: it stops reading while the test does not read what it writes.
        PipedConvert convert({"--jobs", "1", "-"}, fd);
        close(fd);
        const std::string first = convert.Receive(line.size());
        ASSERT_EQ(first, line);
        const std::size_t newSize = c.grow ? file.size() + 100 : file.size() / 2 + 7;
        if (c.grow)
            std::ofstream(path, std::ios::binary | std::ios::app) << std::string(100, ' ');
        else
            ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(newSize)), 0);
        std::string out = first + convert.Receive(std::string::npos >> 1, 5);
        EXPECT_EQ(convert.Wait(), 1);
        EXPECT_EQ(convert.Err(), "kartovel-convert: <stdin>: the file changed size while it was read (" +
                                     std::to_string(file.size()) + " bytes, then " + std::to_string(newSize) +
                                     "); the output may be incomplete; convert it again once nothing writes to it\n");
        // Whole lines only, each the right one.
        ASSERT_EQ(out.size() % line.size(), 0u);
        for (std::size_t at = 0; at < out.size(); at += line.size())
            ASSERT_EQ(out.substr(at, line.size()), line) << "at byte " << at;
        EXPECT_LE(out.size() / line.size(), newSize / 20);
    }
}

// The options a text names: every "--word" and "-x" in it, once each.
static std::set<std::string> OptionsIn(std::string text)
{
    std::erase(text, '\\');  // roff writes "\-\-to\-tm2"
    std::set<std::string> options;
    const std::regex option(R"((^|[\s\[|,(])(--?[a-zA-Z][a-z0-9-]*))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        options.insert((*it)[2]);
    return options;
}

// The manual page and --help name the same options, and the page shows CSV examples.
TEST(Convert, ManualPageAgreesWithHelp)
{
    const Outcome help = RunConvert({"--help"});
    ASSERT_EQ(help.status, 0);
    const std::set<std::string> inHelp = OptionsIn(help.out);
    EXPECT_TRUE(inHelp.contains("--pairs-across-lines") && inHelp.contains("-j"));
    // The English page and the Traditional Chinese one beside it: the same options and
    // examples, and the same limit of -j as the help.
    for (const auto& [path, section] : {std::pair{KARTOVEL_MAN_PAGE, ".SH OPTIONS"}, std::pair{KARTOVEL_MAN_PAGE_ZH, ".SH 選項"}}) {
        SCOPED_TRACE(path);
        const std::string page = ReadFile(path);
        ASSERT_NE(page, "");
        const std::size_t options = page.find(section);
        ASSERT_NE(options, std::string::npos);
        EXPECT_EQ(OptionsIn(page.substr(options, page.find(".SH", options + 1) - options)), inHelp);
        EXPECT_NE(page.find("\\-\\-columns E,N sites.csv"), std::string::npos);
        EXPECT_NE(page.find("1 to 64") == std::string::npos ? page.find("1 到 64") : 0, std::string::npos);
    }
}

// Memory that runs out, here for a 40 MB line under a 50 MB address space, is said in
// one line and exit status 1, on one thread or several; never an abort.
TEST(Convert, OutOfMemory)
{
    // AddressSanitizer reserves terabytes of address space for its shadow memory at start,
    // which no limit that lets memory run out leaves room for.
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "not under AddressSanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "not under AddressSanitizer";
#endif
#endif
    // Lines just below the line limit, each a pair after a million zeros, in a space
    // too small for the blocks of a few of them.
    std::string lines;
    for (int i = 0; i < 20; ++i) lines += std::string(1000000, '0') + "247342 2652335\n";
    const std::string path = WriteFile("long_lines.txt", lines);
    for (const char* jobs : {"1", "4"}) {
        SCOPED_TRACE(std::string("--jobs ") + jobs);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const rlimit limit{12 << 20, 12 << 20};
            setrlimit(RLIMIT_AS, &limit);
            const int err = open(PathOf("oom_stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int null = open("/dev/null", O_WRONLY);
            if (err < 0 || null < 0 || dup2(err, 2) < 0 || dup2(null, 1) < 0) _exit(99);
            execl(KARTOVEL_CONVERT, KARTOVEL_CONVERT, "--jobs", jobs, path.c_str(), static_cast<char*>(nullptr));
            _exit(98);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(ReadFile(PathOf("oom_stderr")), "kartovel-convert: out of memory\n");
    }
}

// Under a Traditional Chinese locale the converter's own messages are Chinese; the
// results and the batch page's messages are not translated.
TEST(Convert, ChineseMessages)
{
    ASSERT_TRUE(kEnglishMessages);
    struct Case {
        std::vector<std::string> arguments;
        std::string input;
        int status;
        std::string err;
    };
    const std::string usage = "Usage: kartovel-convert [--to-geographic | --to-tm2] [OPTION]... [FILE...]\n";
    const std::string tryHelp = "請執行「kartovel-convert --help」查看說明。\n";
    const std::vector<Case> table = {
        {{}, "247342 2652335 1\n", 1,
         "<stdin>:1: 這一行有 3 個數字，應為一對「x y」；多欄的檔案請用 --columns，跨行配對請用 --pairs-across-lines\n"},
        {{"--columns", "1,2"}, "1,2\n1,x\n", 1, "<stdin>:2: 第 2 欄：「x」不是數字；請檢查 --columns 選的欄位\n"},
        {{}, "1e400 2\n", 1, "<stdin>:1: 'INF' is not a valid floating point value\n"},
        {{}, "E,N\n", 1,
         "<stdin>:1: 無法在「E,N」讀取一對數字；這一行含有文字，例如標題行：請用 --columns X,Y（標題行的欄名或從 1 起算的欄號）讀取\n"},
        {{}, "247342,2652335\n", 1,
         "<stdin>:1: 無法在「247342,2652335」讀取一對數字；欄位以逗號或分號分隔，如試算表的 CSV 檔：請用 --columns X,Y"
         "（從 1 起算的欄號或標題行的欄名）讀取，必要時加 --delimiter\n"},
        {{"--frobnicate"}, "", 2, "kartovel-convert: 不認得的選項 '--frobnicate'\n" + usage + tryHelp},
        {{"--ellipsoid"}, "", 2, "kartovel-convert: 選項 '--ellipsoid' 需要一個值\n" + usage + tryHelp},
        {{"--quiet=1"}, "", 2, "kartovel-convert: 選項 '--quiet' 不接受值\n" + usage + tryHelp},
        {{"--ellipsoid", "wgs84"}, "", 2,
         "kartovel-convert: 不認得的橢球體 'wgs84'（grs67、twd67、grs80 或 twd97）\n" + usage + tryHelp},
        {{"-j", "65"}, "", 2, "kartovel-convert: '65' 不是 1 到 64 的執行緒數\n" + usage + tryHelp},
        {{}, "1 2\n", 0, "kartovel-convert: 警告：1 個點在台灣範圍外，第一個在 <stdin>:1；這些是 TM2 坐標嗎？那請用 --to-geographic\n"},
    };
    setenv("LC_ALL", "zh_TW.UTF-8", 1);
    for (const Case& c : table) {
        SCOPED_TRACE(c.input);
        std::vector<std::string> arguments = c.arguments;
        if (c.status == 0) arguments.push_back("--to-tm2");
        const Outcome outcome = RunConvert(arguments, c.input);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(outcome.status, c.status);
    }
    const Outcome help = RunConvert({"-h"});
    EXPECT_NE(help.out.find("在台灣 TM2 二度分帶座標"), std::string::npos);
    setenv("LC_ALL", "C.UTF-8", 1);
}

// A long spreadsheet file, read in many blocks on several threads: every record gets the
// batch page's values, and a bad record deep in it stops the run at its own line.
TEST(Convert, LongRecordFile)
{
    std::mt19937_64 random(91);
    std::uniform_real_distribution<double> unit(0, 1);
    std::string file = "id;E;N;note\r\n";
    std::string expected = "id;E;N;note;longitude;latitude\r\n";
    char x[32], y[32];
    const int records = 40000, bad = 31234;
    for (int i = 1; i <= records; ++i) {
        std::snprintf(x, sizeof x, "%.2f", 150000 + unit(random) * 200000);
        std::snprintf(y, sizeof y, "%.3f", 2400000 + unit(random) * 400000);
        const std::string line = std::to_string(i) + ";\"" + x + "\";" + y + ";\"a \"\"b\"\"; c\"";
        file += (i == bad ? std::to_string(i) + ";" + x + ";;" : line) + "\r\n";
        if (i < bad) {
            std::string values = BatchResultLine(TM2ToGeographic, kGRS80, x, y);
            values[values.find(' ')] = ';';
            expected += line + ";" + values + "\r\n";
        }
    }
    ASSERT_GT(file.size(), 6u << 20 >> 2);  // several blocks
    const std::string path = WriteFile("long.csv", file);
    for (const char* jobs : {"1", "2", "5"}) {
        SCOPED_TRACE(std::string("--jobs ") + jobs);
        const Outcome outcome = RunConvert({"--ellipsoid", "twd97", "--columns", "e,n", "-j", jobs, path});
        EXPECT_TRUE(outcome.out == expected) << FirstDifference(outcome.out, expected);
        EXPECT_EQ(outcome.err, path + ":" + std::to_string(bad + 1) +
                                   ": field 3: \"\" is not a number; check the fields --columns picks\n");
        EXPECT_EQ(outcome.status, 1);
    }
}

// Input made to hurt, and command lines that name one field twice: each stops with a
// message that names the fault, after the lines before it, with the status given.
TEST(Convert, HostileInput)
{
    const std::string usage = "Usage: kartovel-convert [--to-geographic | --to-tm2] [OPTION]... [FILE...]\n"
                              "Try 'kartovel-convert --help' for more information.\n";
    const std::string good = "247342 2652335\n";
    const std::string goodOut = "120.97388 23.97564\n";
    const std::string nul = " a NUL byte (\\x00), which text never holds; the file is not text, or is damaged: check "
                            "that it is the text file of points, saved as UTF-8\n";
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::string input;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Case> table = {
        {"one number in two spellings", {"--columns", "1,01"}, good, 2, "",
         "kartovel-convert: the columns X,Y are the same field: '1' and '01'; give two different fields\n" + usage},
        {"one name in two cases", {"--columns", "E,e"}, good, 2, "",
         "kartovel-convert: the columns X,Y are the same field: 'E' and 'e'; give two different fields\n" + usage},
        {"a name and the number of its field", {"--columns", "e,1"}, "E,N\n1,2\n", 2, "",
         "<stdin>:1: --columns 'e' and '1' are the same field 1 of the header line; give two different fields\n"},
        {"a NUL byte on a line of pairs", {}, good + std::string("250000\0 2600000\n", 16), 1, goodOut,
         "<stdin>:2: the line holds" + nul},
        {"a NUL byte after a CR", {"--pairs-across-lines"}, good + std::string("\r\0", 2), 1, goodOut,
         "<stdin>:3: the line holds" + nul},
        {"a NUL byte in a field that is not converted", {"--columns", "1,2"},
         "247342,2652335,a\n250000,2600000,\"b" + std::string("\0", 1) + "\"\n", 1, "247342,2652335,a,120.97388,23.97564\n",
         "<stdin>:2: field 3: holds" + nul},
        {"a NUL byte in the header line", {"--columns", "E,N"}, std::string("E;N\0\n", 5), 1, "",
         "<stdin>:1: field 2: holds" + nul},
        {"NUL bytes only", {}, std::string(1 << 20, '\0'), 1, "", "<stdin>:1: the line holds" + nul},
        {"C1 controls and a bidirectional override in a field", {"--columns", "1,2"},
         "247342,2652335\n1,\xE2\x80\xAE" "2\xC2\x9B" "31m\n", 1, "247342,2652335,120.97388,23.97564\n",
         "<stdin>:2: field 2: \"\\u202E2\\xC2\\x9B31m\" is not a number; check the fields --columns picks\n"},
        {"an escape and an isolate on a line of pairs", {}, "247342 \x1B[31m\xE2\x81\xA6x\n", 1, "",
         "<stdin>:1: cannot read a pair of numbers at \"247342 \\x1B[31m\\u2066x\"\n"},
        {"an escape in a column name", {"--columns", "\x1B[2J,N"}, "E,N\n1,2\n", 1, "",
         "<stdin>:1: no field named \"\\x1B[2J\" in the first line; give a name from it, or a field number counted "
         "from 1\n"},
        {"an override in an option", {"--\xE2\x80\xAEx"}, "", 2, "", "kartovel-convert: unknown option '--\\u202Ex'\n" + usage},
        {"a line at the limit", {"--to-tm2"}, "121" + std::string((1 << 20) - 5, ' ') + "23\n", 0, "250000 2544291.77\n", ""},
        {"a line beyond the limit", {"--to-tm2"}, "121 23\n121" + std::string((1 << 20) - 4, ' ') + "23\n", 1,
         "250000 2544291.77\n", "<stdin>:2: the line is longer than 1048576 bytes, which no line of points is; check that this is the "
         "text file of points and that its lines end\n"},
        {"a record beyond the limit", {"--columns", "2,1"}, "a,1,2\n" + std::string((1 << 20) + 1, ','), 1,
         "a,1,2,longitude,latitude\n", "<stdin>:2: the line is longer than 1048576 bytes, which no line of points "
         "is; check that this is the text file of points and that its lines end\n"},
        {"a first line beyond the limit", {"--pairs-across-lines"}, "\n" + std::string((1 << 20) + 1, '1'), 1, "",
         "<stdin>:2: the line is longer than 1048576 bytes, which no line of points is; check that this is the "
         "text file of points and that its lines end\n"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunConvert(c.arguments, c.input);
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(outcome.status, c.status);
    }
}

// Input that never ends: NUL bytes stop at the first, an endless line at the limit.
TEST(Convert, EndlessInput)
{
    const Outcome zeros = RunConvert({}, "", "", "/dev/zero");
    EXPECT_EQ(zeros.err, "<stdin>:1: the line holds a NUL byte (\\x00), which text never holds; the file is not "
                         "text, or is damaged: check that it is the text file of points, saved as UTF-8\n");
    EXPECT_EQ(zeros.status, 1);
    const std::string command = "yes 1 | tr -d '\\n' | " KARTOVEL_CONVERT " --columns 1,2 2>" + PathOf("endless_err");
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(ReadFile(PathOf("endless_err")), "<stdin>:1: the line is longer than 1048576 bytes, which no line of "
                                               "points is; check that this is the text file of points and that its "
                                               "lines end\n");
}

// Many workers in little address space: small stacks let -j 32 convert where -j 1 does,
// with the same output.
TEST(Convert, ManyWorkersUnderAnAddressSpaceLimit)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's shadow memory needs the address space";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "AddressSanitizer's shadow memory needs the address space";
#endif
#endif
    const std::string file = RandomFile(TM2ToGeographic, 100000, 91, true);
    const std::string path = WriteFile("many_workers.txt", file);
    const std::string expected = BatchPageLines(TM2ToGeographic, kGRS67, file);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const rlimit limit{200000 << 10, 200000 << 10};  // ulimit -v 200000
        setrlimit(RLIMIT_AS, &limit);
        const int out = open(PathOf("workers_out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(PathOf("workers_err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(99);
        execl(KARTOVEL_CONVERT, KARTOVEL_CONVERT, "-q", "-j", "32", path.c_str(), static_cast<char*>(nullptr));
        _exit(98);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(ReadFile(PathOf("workers_err")), "");
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string out = ReadFile(PathOf("workers_out"));
    EXPECT_TRUE(out == expected) << FirstDifference(out, expected);
}
