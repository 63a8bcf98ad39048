// What the converter writes is a function of the input's bytes alone: the same file read
// in any sizes (a pipe written in parts) gives the same output, message and status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "convert/convert_run.h"
#include "convert/input_file.h"

namespace {

// The read sizes the seam hands out, in turn; the last one repeats.
std::vector<std::size_t> gSizes;
std::size_t gNext = 0;
std::size_t NextReadSize(std::size_t wanted)
{
    if (gSizes.empty()) return wanted;
    const std::size_t size = gSizes[std::min(gNext, gSizes.size() - 1)];
    ++gNext;
    return size;
}

struct Result {
    int status;
    std::string out;
    std::string err;
    bool operator==(const Result&) const = default;
};

std::string ReadBack(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
    return text;
}

Result Convert(const std::string& path, std::vector<std::string> arguments, std::vector<std::size_t> sizes)
{
    unsetenv("LANGUAGE");
    setenv("LC_ALL", "C.UTF-8", 1);
    ConvertOptions options;
    arguments.push_back(path);
    EXPECT_FALSE(ParseConvertOptions(arguments, options).has_value());
    gSizes = std::move(sizes);
    gNext = 0;
    gReadSizeLimit = NextReadSize;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Result result;
    result.status = ConvertInputs(options, options.jobs == 0 ? 1 : options.jobs, out, err);
    gReadSizeLimit = nullptr;
    result.out = ReadBack(out);
    result.err = ReadBack(err);
    return result;
}

}  // namespace

TEST(ReadSeam, SameAtEverySplit)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::string bytes;
    };
    const std::vector<Case> table = {
        {"a count on a line of one number a line", {}, "247342\n2652335\n250000 2600000 1 2\n"},
        {"an excerpt across lines", {"--pairs-across-lines"}, "24734, 2652335\n250000 2600000\n"},
        {"text after a pair, CR LF", {"-j", "2"}, "247342 2652335\r\n250000 26523DUfw 335\r\n"},
        {"a lone CR before the stop", {"--pairs-across-lines"}, "247342\r2652335\r250000\rx\r"},
        {"a record stop", {"--columns", "E,N", "-j", "2"}, "id,E,N\r\n1,247342,2652335\r\n2,\"250000\",N/A\r\n"},
        {"a NUL byte in a record", {"--columns", "1,2"}, std::string("247342;2652335;x\n250000;2600000;\"a\0b\"\n", 37)},
        {"a NUL byte among pairs", {}, std::string("247342 2652335\n\n25\0", 19)},
        {"UTF-16 without a mark", {}, std::string("2\0" "4\0" " \0" "5\0" "\n\0" "1\0", 12)},
        {"a UTF-16 mark on a later line", {"-j", "2"}, "247342 2652335\n\xFE\xFF" "0000\t.5\n1 2\n"},
        {"a UTF-16 mark, then UTF-8 lines", {"-j", "2"}, "\xFE\xFF" "4334\n250000\t2600000\n"},
        {"UTF-16 records", {"--columns", "1,2"}, std::string("\xFF\xFE" "1\0,\0" "2\0\r\0\n\0", 12)},
        {"a UTF-8 mark and Ctrl-Z", {"--to-tm2"}, std::string("\xEF\xBB\xBF" "121 23.5\n121 x\x1A" "5\0\n", 22)},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        char path[] = "/tmp/kartovel_seam_XXXXXX";
        const int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, c.bytes.data(), c.bytes.size()), static_cast<ssize_t>(c.bytes.size()));
        close(fd);
        const Result whole = Convert(path, c.arguments, {});
        EXPECT_NE(whole.err, "");  // each input stops somewhere: the message is compared
        EXPECT_EQ(whole.status, 1) << whole.err;
        for (std::size_t split = 1; split < c.bytes.size(); ++split) {
            const Result parts = Convert(path, c.arguments, {split, kBlockBytes});
            EXPECT_TRUE(parts == whole) << "split at " << split << ": " << parts.err << parts.out;
        }
        for (std::size_t size : {1, 2, 3, 5}) {
            const Result pieces = Convert(path, c.arguments, {size});
            EXPECT_TRUE(pieces == whole) << "read " << size << " at a time: " << pieces.err << pieces.out;
        }
        unlink(path);
    }
}

// A line beyond the limit stops at it wherever the reads end, even when the text before
// the limit would stop the run by itself.
TEST(ReadSeam, SameAroundTheLineLimit)
{
    const std::string bytes = "247342 2652335\n250000 x" + std::string(kLineLimitBytes, 'a') + " 3\n";
    char path[] = "/tmp/kartovel_seam_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    for (const char* mode : {"--pairs-across-lines", "--to-geographic", "--replace"}) {
        SCOPED_TRACE(mode);
        const Result whole = Convert(path, {mode}, {});
        EXPECT_EQ(whole.status, 1);
        EXPECT_EQ(whole.err.substr(whole.err.find(':', 6)), ":2: the line is longer than 1048576 bytes, which no line "
                                                            "of points is; check that this is the text file of points "
                                                            "and that its lines end\n");
        for (std::size_t split : {std::size_t{16}, std::size_t{24}, kLineLimitBytes, kLineLimitBytes + 17}) {
            const Result parts = Convert(path, {mode}, {split, 4096});
            EXPECT_TRUE(parts == whole) << "split at " << split << ": " << parts.err << parts.out;
        }
    }
    unlink(path);
}
