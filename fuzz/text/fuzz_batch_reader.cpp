// libFuzzer target for the batch-file reader. Besides memory safety (the input sits in
// a heap block of exactly its size, so AddressSanitizer catches any read past it), it
// checks what the window relies on: the stop report lies inside the file, no more
// pairs come out than the bytes can hold, every loaded value survives being written
// back as a number and read again, and the bytes before the stop read the same.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "text/batch_reader.h"

static void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "batch reader property violated: %s\n", what);
        std::abort();
    }
}

static bool SameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// %.17g identifies every finite double; infinity is written as a number beyond the range.
static void AppendNumber(std::string& text, double value)
{
    char buffer[40];
    if (std::isinf(value))
        std::snprintf(buffer, sizeof buffer, "%s", value < 0 ? "-1e400" : "1e400");
    else
        std::snprintf(buffer, sizeof buffer, "%.17g", value);
    text += buffer;
}

static void RequireSamePairs(const BatchReadResult& a, const BatchReadResult& b, const char* what)
{
    Require(a.pairs.size() == b.pairs.size(), what);
    for (std::size_t i = 0; i < a.pairs.size(); ++i)
        Require(SameBits(a.pairs[i].x, b.pairs[i].x) && SameBits(a.pairs[i].y, b.pairs[i].y), what);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<char[]> copy(new char[size]);
    if (size != 0) std::memcpy(copy.get(), data, size);
    std::string_view bytes(copy.get(), size);

    BatchReadResult r = ReadBatchPairs(bytes);

    std::size_t textEnd = bytes.find('\x1A');
    if (textEnd == std::string_view::npos) textEnd = size;
    Require(r.stopOffset <= textEnd, "stop offset beyond the end of the file");
    Require(r.stoppedEarly == (r.stopOffset < textEnd), "early stop disagrees with the offset");
    Require(r.stopLine >= 1 && r.stopLine <= r.stopOffset + 1, "line number out of range");
    // The first number takes at least one byte, every later one at least two (a
    // separator, or a sign or point that cannot continue the one before).
    Require(r.pairs.size() <= (size + 1) / 4, "more pairs than the bytes can hold");
    Require(r.stopExcerpt.size() <= 16 * kReadableExcerptCharacters, "excerpt too long");
    Require(r.stopExcerpt.empty() == !r.stoppedEarly, "excerpt empty at an early stop, or filled at the end");
    for (char c : r.stopExcerpt) Require(static_cast<unsigned char>(c) >= 32 && c != 127, "excerpt holds a control");
    for (const BatchPair& pair : r.pairs) Require(!std::isnan(pair.x) && !std::isnan(pair.y), "NaN loaded");

    std::string written;
    for (const BatchPair& pair : r.pairs) {
        AppendNumber(written, pair.x);
        written += ' ';
        AppendNumber(written, pair.y);
        written += '\n';
    }
    BatchReadResult again = ReadBatchPairs(written);
    Require(!again.stoppedEarly, "written pairs do not read back to the end");
    RequireSamePairs(r, again, "written pairs read back differently");

    BatchReadResult prefix = ReadBatchPairs(bytes.substr(0, r.stopOffset));
    Require(!prefix.stoppedEarly, "bytes before the stop place stops early");
    RequireSamePairs(r, prefix, "bytes before the stop place reads differently");
    return 0;
}
