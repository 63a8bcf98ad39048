// The batch-file scanner. The grammar is checked here byte by byte; the decimal to
// binary conversion of each number is left to std::from_chars, which is exact
// (correctly rounded for any count of digits) and never looks at a locale, unlike
// strtod or a stream under the global locale that the window sets from the desktop.
#include "text/batch_reader.h"

#include "text/batch_file.h"
#include "text/digits.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

// Skips whitespace, noting whether a line end (CR or LF) was passed.
static const char* SkipWhitespace(const char* p, const char* end, bool& lineEnd)
{
    for (; p != end && IsBatchWhitespace(*p); ++p)
        lineEnd |= IsLineEnd(*p);
    return p;
}

// The end of the number that starts at p, or p itself when none can be read there.
// Greedy: every character that can continue the number is taken, so an "e" after
// the mantissa commits to an exponent and a missing exponent digit makes the whole
// number unreadable rather than ending it before the "e".
const char* ScanBatchNumber(const char* p, const char* end)
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
    std::int64_t k = 0;          // position of the leading nonzero digit
    bool leadingFound = false;
    const char* p = first;
    for (; p != last && IsDigit(*p); ++p) {
        if (*p != '0') leadingFound = true;
        if (leadingFound && k < kSaturatedExponent) ++k;
    }
    if (p != last && *p == '.') {
        for (++p; p != last && IsDigit(*p); ++p) {
            if (leadingFound) continue;
            if (*p != '0')
                leadingFound = true;
            else if (k > -kSaturatedExponent)
                --k;
        }
    }
    // An all-zero mantissa is zero whatever its exponent.
    if (!leadingFound) return -kSaturatedExponent;
    return k + ExponentAt(p, last);
}

double BatchNumberValue(std::string_view number)
{
    // from_chars takes no "+", and its "-" is handled here too so that both signs of
    // an out-of-range result come out the same way; negating a double is exact.
    const char* first = number.data();
    const char* last = first + number.size();
    const bool negative = *first == '-';
    if (*first == '+' || *first == '-') ++first;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        value = LeadingDigitExponent(first, last) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
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

// The end of the file: the end of the bytes or the first Ctrl-Z.
static const char* FileEnd(std::string_view bytes)
{
    return bytes.data() + TextLength(bytes);
}

// Where the data begins: after a byte-order mark at the very start. Only the start is
// looked at, so a mark anywhere else (two files joined) still stops the reading.
static const char* DataBegin(const char* begin, const char* end)
{
    return begin + Utf8ByteOrderMarkLength(std::string_view(begin, static_cast<std::size_t>(end - begin)));
}

// One pair read from p on: where its numbers start, where it ends, and whether a line
// end lies before each of its numbers.
struct PairScan {
    BatchPair pair;
    const char* xStart;
    const char* yStart;
    const char* yEnd;
    bool xNewLine;
    bool yNewLine;
};

// Reads the next pair. On failure scan.xStart is the first byte, after whitespace, of
// what could not be read as a whole pair, and scan.yStart is null when the x number
// itself was unreadable.
static bool ScanPair(const char* p, const char* end, PairScan& scan)
{
    scan.xNewLine = false;
    scan.xStart = SkipWhitespace(p, end, scan.xNewLine);
    scan.yStart = nullptr;
    const char* xEnd = ScanBatchNumber(scan.xStart, end);
    if (xEnd == scan.xStart)
        return false;
    scan.pair.x = BatchNumberValue(std::string_view(scan.xStart, static_cast<std::size_t>(xEnd - scan.xStart)));
    scan.yNewLine = false;
    scan.yStart = SkipWhitespace(xEnd, end, scan.yNewLine);
    scan.yEnd = ScanBatchNumber(scan.yStart, end);
    if (scan.yEnd == scan.yStart)
        return false;
    scan.pair.y = BatchNumberValue(std::string_view(scan.yStart, static_cast<std::size_t>(scan.yEnd - scan.yStart)));
    return true;
}

// Follows the count of numbers on each line as they are read, to find the first line
// that breaks the file's pattern (see BatchReadResult). A few comparisons per number;
// the line's number is worked out only once, for the line that breaks the pattern.
class LayoutCheck {
public:
    // A number starting at `start`; `newLine`: it is the first number of its line.
    void Add(const char* start, bool newLine)
    {
        if (breakFirst_) {
            // Only the numbers of the breaking line are still counted.
            if (newLine)
                counting_ = false;
            else if (counting_)
                ++breakCount_;
            return;
        }
        if (newLine) {
            if (count_ != 0 && !EndLine())
                return;
            lineFirst_ = start;
            count_ = 1;
        } else {
            ++count_;
        }
        if (count_ > (perLine_ != 0 ? perLine_ : 2)) {
            Break();
            counting_ = true;
        }
    }
    // After the last number: the last line ends too.
    void Finish()
    {
        if (!breakFirst_ && count_ != 0)
            EndLine();
    }
    void Report(const char* begin, const char* end, BatchReadResult& result) const
    {
        if (!breakFirst_)
            return;
        result.layoutBreakLine = LineOf(begin, breakFirst_, end);
        result.layoutBreakNumbers = breakCount_;
        result.layoutNumbersPerLine = breakPerLine_;
    }

private:
    // The current line ends; false when it breaks the pattern.
    bool EndLine()
    {
        if (perLine_ == 0) {
            perLine_ = count_;  // 1 or 2: more has broken the pattern already
            return true;
        }
        if (count_ == perLine_)
            return true;
        Break();
        return false;
    }
    void Break()
    {
        breakFirst_ = lineFirst_;
        breakCount_ = count_;
        breakPerLine_ = perLine_;
    }

    std::size_t perLine_ = 0;  // numbers a line holds; 0 until the first line ends
    std::size_t count_ = 0;    // numbers on the current line so far
    const char* lineFirst_ = nullptr;
    const char* breakFirst_ = nullptr;  // first number of the line that breaks the pattern
    std::size_t breakCount_ = 0;
    std::size_t breakPerLine_ = 0;
    bool counting_ = false;  // the breaking line is the current one
};

BatchReadResult ReadBatchPairs(std::string_view bytes)
{
    return ReadBatchPairs(bytes, BatchPairReceiver());
}

BatchReadResult ReadBatchPairs(std::string_view bytes, const BatchPairReceiver& receiver)
{
    BatchReadResult result;
    std::size_t handedOver = 0;
    const char* begin = bytes.data();
    const char* end = FileEnd(bytes);

    const char* p = DataBegin(begin, end);
    const char* stop = end;
    const char* unreadable = end;
    LayoutCheck layout;
    PairScan scan;
    for (bool first = true;; first = false) {
        if (!ScanPair(p, end, scan)) {
            // A dropped pair is reported at its first number; its lone first number
            // counts on the line only beside numbers that were loaded.
            stop = scan.xStart;
            unreadable = scan.yStart ? scan.yStart : scan.xStart;
            result.stoppedEarly = scan.yStart != nullptr || scan.xStart != end;
            if (scan.yStart && !scan.xNewLine && !first)
                layout.Add(scan.xStart, false);
            break;
        }
        layout.Add(scan.xStart, scan.xNewLine || first);
        layout.Add(scan.yStart, scan.yNewLine);
        result.pairs.push_back(scan.pair);
        p = scan.yEnd;
        if (result.pairs.size() == kBatchPairsHandedOver && receiver) {
            receiver(result.pairs, static_cast<std::size_t>(p - begin));
            handedOver += result.pairs.size();
            result.pairs.clear();
        }
    }
    layout.Finish();
    result.pairCount = handedOver + result.pairs.size();

    result.stopOffset = static_cast<std::size_t>(stop - begin);
    result.unreadableOffset = static_cast<std::size_t>(unreadable - begin);
    result.stopLine = LineOf(begin, stop, end);
    result.stopExcerpt = ReadableExcerpt(bytes, result.stopOffset);
    layout.Report(begin, end, result);
    return result;
}
