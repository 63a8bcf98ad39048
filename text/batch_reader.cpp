// The batch-file scanner. The grammar is checked here byte by byte; the decimal to
// binary conversion of each number is left to std::from_chars, which is exact
// (correctly rounded for any count of digits) and never looks at a locale, unlike
// strtod or a stream under the global locale that the window sets from the desktop.
#include "text/batch_reader.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

static bool IsWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static const char* SkipWhitespace(const char* p, const char* end)
{
    while (p != end && IsWhitespace(*p)) ++p;
    return p;
}

static const char* SkipDigits(const char* p, const char* end)
{
    while (p != end && IsDigit(*p)) ++p;
    return p;
}

// The end of the number that starts at p, or p itself when none can be read there.
// Greedy: every character that can continue the number is taken, so an "e" after
// the mantissa commits to an exponent and a missing exponent digit makes the whole
// number unreadable rather than ending it before the "e".
static const char* ScanNumber(const char* p, const char* end)
{
    const char* q = p;
    if (q != end && (*q == '+' || *q == '-')) ++q;
    const char* integerEnd = SkipDigits(q, end);
    bool hasDigit = integerEnd != q;
    q = integerEnd;
    if (q != end && *q == '.') {
        const char* fractionEnd = SkipDigits(q + 1, end);
        hasDigit = hasDigit || fractionEnd != q + 1;
        q = fractionEnd;
    }
    if (!hasDigit) return p;
    if (q != end && (*q == 'e' || *q == 'E')) {
        const char* exponentDigits = q + 1;
        if (exponentDigits != end && (*exponentDigits == '+' || *exponentDigits == '-')) ++exponentDigits;
        const char* exponentEnd = SkipDigits(exponentDigits, end);
        if (exponentEnd == exponentDigits) return p;
        q = exponentEnd;
    }
    return q;
}

// For an unsigned number text whose value lies outside the double range: k such that
// the value lies in [10^(k-1), 10^k), saturated far beyond any double exponent. Such a
// value is either above the largest double (about 1.8e308, k >= 309) or below half the
// smallest subnormal (about 2.5e-324, k <= -323), so the sign of k tells the two apart.
static std::int64_t LeadingDigitExponent(const char* first, const char* last)
{
    constexpr std::int64_t kSaturation = std::int64_t{1} << 40;
    std::int64_t k = 0;          // position of the leading nonzero digit
    bool leadingFound = false;
    const char* p = first;
    for (; p != last && IsDigit(*p); ++p) {
        if (*p != '0') leadingFound = true;
        if (leadingFound && k < kSaturation) ++k;
    }
    if (p != last && *p == '.') {
        for (++p; p != last && IsDigit(*p); ++p) {
            if (leadingFound) continue;
            if (*p != '0')
                leadingFound = true;
            else if (k > -kSaturation)
                --k;
        }
    }
    // An all-zero mantissa is zero whatever its exponent.
    if (!leadingFound) return -kSaturation;
    std::int64_t exponent = 0;
    if (p != last && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
        for (; p != last && IsDigit(*p); ++p)
            if (exponent < kSaturation) exponent = exponent * 10 + (*p - '0');
        if (negative) exponent = -exponent;
    }
    return k + exponent;
}

// Converts a text that ScanNumber accepted. False only if the converter disagrees with
// the scanner about where the number ends, which would be a fault of this file; the
// caller then treats the number as unreadable rather than loading a wrong value.
static bool ConvertNumber(const char* first, const char* last, double& value)
{
    // from_chars takes no "+", and its "-" is handled here too so that both signs of
    // an out-of-range result come out the same way; negating a double is exact.
    bool negative = *first == '-';
    if (*first == '+' || *first == '-') ++first;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ptr != last) return false;
    if (ec == std::errc::result_out_of_range)
        value = LeadingDigitExponent(first, last) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    else if (ec != std::errc())
        return false;
    if (negative) value = -value;
    return true;
}

static std::size_t LineOf(const char* begin, const char* place, const char* end)
{
    std::size_t line = 1;
    for (const char* p = begin; p != place; ++p) {
        if (*p == '\n')
            ++line;
        else if (*p == '\r' && (p + 1 == end || p[1] != '\n'))
            ++line;  // a lone CR; in CR LF the LF counts
    }
    return line;
}

static std::string Excerpt(const char* place, const char* end)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string excerpt;
    for (std::size_t n = 0; place != end && n < kBatchExcerptBytes; ++place, ++n) {
        unsigned char c = static_cast<unsigned char>(*place);
        if (c == '\r' || c == '\n') break;
        if (c == '\\') {
            excerpt += "\\\\";
        } else if (c == '\t') {
            excerpt += "\\t";
        } else if (c >= 32 && c <= 126) {
            excerpt += static_cast<char>(c);
        } else {
            excerpt += "\\x";
            excerpt += kHex[c >> 4];
            excerpt += kHex[c & 15];
        }
    }
    return excerpt;
}

BatchReadResult ReadBatchPairs(std::string_view bytes)
{
    BatchReadResult result;
    const char* begin = bytes.data();
    const char* end = begin + bytes.size();
    if (const void* ctrlZ = bytes.empty() ? nullptr : std::memchr(begin, 26, bytes.size()))
        end = static_cast<const char*>(ctrlZ);

    const char* p = begin;
    const char* stop = end;
    for (;;) {
        const char* xStart = SkipWhitespace(p, end);
        const char* xEnd = ScanNumber(xStart, end);
        BatchPair pair;
        if (xEnd == xStart || !ConvertNumber(xStart, xEnd, pair.x)) {
            stop = xStart;
            result.stoppedEarly = xStart != end;
            break;
        }
        const char* yStart = SkipWhitespace(xEnd, end);
        const char* yEnd = ScanNumber(yStart, end);
        if (yEnd == yStart || !ConvertNumber(yStart, yEnd, pair.y)) {
            stop = xStart;  // the pair is dropped: point at its first number
            result.stoppedEarly = true;
            break;
        }
        result.pairs.push_back(pair);
        p = yEnd;
    }

    result.stopOffset = static_cast<std::size_t>(stop - begin);
    result.stopLine = LineOf(begin, stop, end);
    result.stopExcerpt = Excerpt(stop, end);
    return result;
}
