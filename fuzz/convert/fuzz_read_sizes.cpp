// libFuzzer target: the converter's output, message and status are a function of the
// input's bytes alone. The first byte picks the way of reading (pairs, one number a
// line or across lines, records by number or by name, -j 1 or 2), the second seeds the
// read sizes; the rest is the file. It is converted read whole, then read in the random
// sizes, and both runs must agree in every byte. Seeds: read_sizes_seeds/ (inputs that
// once gave two runs).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "convert/convert_run.h"
#include "convert/input_file.h"
#include "fuzz/convert/captured_run.h"

namespace {

std::minstd_rand gSizes;
bool gRandomSizes = false;

std::size_t NextReadSize(std::size_t wanted)
{
    if (!gRandomSizes) return wanted;
    // Mostly small pieces, now and then a large one, so that blocks hold several lines.
    return gSizes() % 8 == 0 ? 1 + gSizes() % 4096 : 1 + gSizes() % 7;
}

CapturedRun Convert(const std::vector<std::string>& arguments)
{
    ConvertOptions options;
    if (ParseConvertOptions(arguments, options)) std::abort();
    return ConvertCaptured(options, options.jobs == 0 ? 1 : options.jobs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    static const bool english = setenv("LC_ALL", "C", 1) == 0;
    (void)english;
    static const int fd = memfd_create("fuzz_read_sizes", 0);
    if (fd < 0) std::abort();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data + 2, size - 2, 0) != static_cast<ssize_t>(size - 2)) std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    static const std::vector<std::vector<std::string>> ways = {
        {"-q"}, {"-q", "--pairs-across-lines"}, {"-q", "--to-tm2", "-j", "2"}, {"-q", "--columns", "2,1"},
        {"-q", "--columns", "E,n", "-j", "2"}, {"-q", "--delimiter", "blanks", "--replace"},
    };
    std::vector<std::string> arguments = ways[data[0] % ways.size()];
    arguments.push_back(path);

    gReadSizeLimit = NextReadSize;
    gRandomSizes = false;
    const CapturedRun whole = Convert(arguments);
    gRandomSizes = true;
    gSizes.seed(data[1] + 1u);
    const CapturedRun pieces = Convert(arguments);
    gReadSizeLimit = nullptr;
    if (whole.status != pieces.status || whole.out != pieces.out || whole.err != pieces.err) {
        std::fprintf(stderr, "fuzz_read_sizes: the reads changed the run\nwhole: %d %s\npieces: %d %s\n", whole.status,
                     whole.err.c_str(), pieces.status, pieces.err.c_str());
        std::abort();
    }
    return 0;
}
