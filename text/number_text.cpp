#include "text/number_text.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#ifndef _WIN32
#include <locale.h>  // newlocale, uselocale
#endif

#include "geodesy/floating_point.h"
#include "text/digits.h"
#include "text/utf8.h"

// ---------------------------------------------------------------------------------------
// DecimalMark

static std::string& MarkStorage()
{
    static std::string mark = ".";
    return mark;
}

const std::string& DecimalMark()
{
    return MarkStorage();
}

void SetDecimalMark(std::string_view mark)
{
    if (mark.empty())
        mark = ".";
    // The first UTF-8 character; a byte that does not start one counts as a character.
    char32_t codePoint;
    const std::size_t length = std::max<std::size_t>(1, DecodeUtf8(mark, codePoint));
    MarkStorage().assign(mark.data(), length);
}

// ---------------------------------------------------------------------------------------
// The 18-digit intermediate

static constexpr int kRecordDigits = 18;
static constexpr std::uint64_t kTenTo17 = 100000000000000000ULL;
static constexpr std::uint64_t kTenTo18 = 1000000000000000000ULL;

// A record under construction: digits[0..count) with value 0.d1 d2 ... × 10^exponent.
struct RawRecord {
    DigitRecord::Kind kind = DigitRecord::Kind::Finite;
    bool negative = false;
    int exponent = 0;
    int count = 0;
    char digits[kRecordDigits];
};

// "00" to "99": two digits per table look-up, so that the 18 digits come from a few
// independent divisions by constants rather than a chain of eighteen.
static constexpr char kDigitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

static void WriteFourDigits(std::uint32_t v, char* out)
{
    std::memcpy(out, kDigitPairs + 2 * (v / 100), 2);
    std::memcpy(out + 2, kDigitPairs + 2 * (v % 100), 2);
}

static void WriteNineDigits(std::uint32_t v, char* out)
{
    out[0] = static_cast<char>('0' + v / 100000000);
    v %= 100000000;
    WriteFourDigits(v / 10000, out + 1);
    WriteFourDigits(v % 10000, out + 5);
}

// q < 10^18, written with leading zeros.
static void WriteEighteenDigits(std::uint64_t q, char* out)
{
    WriteNineDigits(static_cast<std::uint32_t>(q / 1000000000), out);
    WriteNineDigits(static_cast<std::uint32_t>(q % 1000000000), out + 9);
}

// |x| = m × 2^e2 with 2^63 ≤ m < 2^64, as the 80-bit format stores it (explicit leading
// bit). Only called for normal finite values.
static void Decompose(Extended ax, std::uint64_t& m, int& e2)
{
    unsigned char bytes[sizeof(Extended)];
    std::memcpy(bytes, &ax, sizeof bytes);
    std::memcpy(&m, bytes, 8);
    const int biased = (bytes[8] | (bytes[9] << 8)) & 0x7FFF;
    e2 = biased - 16383 - 63;
}

static constexpr std::uint64_t Power5(int n)
{
    std::uint64_t p = 1;
    for (int i = 0; i < n; ++i)
        p *= 5;
    return p;
}

static constexpr std::uint64_t kPowers5[28] = {
    Power5(0),  Power5(1),  Power5(2),  Power5(3),  Power5(4),  Power5(5),  Power5(6),
    Power5(7),  Power5(8),  Power5(9),  Power5(10), Power5(11), Power5(12), Power5(13),
    Power5(14), Power5(15), Power5(16), Power5(17), Power5(18), Power5(19), Power5(20),
    Power5(21), Power5(22), Power5(23), Power5(24), Power5(25), Power5(26), Power5(27)};

// The 18 digits q of a value of decimal exponent E, rounded: a rounding that carried
// to 10^18 makes them 10^17 one decade up.
static void StoreRoundedDigits(std::uint64_t q, int E, int& exponent, char* digits)
{
    if (q == kTenTo18) {
        q = kTenTo17;
        ++E;
    }
    exponent = E;
    WriteEighteenDigits(q, digits);
}

// Exact integer path. With s = E − 18 the 18 digits are q = |x| / 10^s rounded to nearest,
// ties to even. Writing 10^s = 5^s × 2^s, q = N / D with
//     N = m × 5^max(−s,0) × 2^max(t,0),   D = 5^max(s,0) × 2^max(−t,0),   t = e2 − s,
// both held in 128 bits. E is first estimated from the binary exponent; the estimate is
// E or E − 1, so N / D < 10^19 < 2^64, and D < 2^62 keeps N < 2^126 and 2 × remainder
// exact. Returns false where the numbers do not fit (|x| below about 10^-6 or above
// about 10^44); the caller then takes the exact conversion of the C library.
static bool EighteenDigitsByIntegers(Extended ax, int& exponent, char* digits)
{
    using U128 = unsigned __int128;
    std::uint64_t m;
    int e2;
    Decompose(ax, m, e2);
    const int binaryExponent = e2 + 63;  // 2^b ≤ |x| < 2^(b+1)
    // floor(b × log10 2) + 1; 78913 / 2^18 is log10 2 to well within the range used here.
    int E = ((binaryExponent * 78913) >> 18) + 1;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int s = E - kRecordDigits;
        const int t = e2 - s;
        const int up5 = s < 0 ? -s : 0;
        const int down5 = s > 0 ? s : 0;
        if (up5 > 27 || down5 > 26 || -t >= 62)
            return false;
        U128 D = kPowers5[down5];
        if (t < 0) {
            D <<= -t;
            if (D >> 62)
                return false;
        }
        U128 N = static_cast<U128>(m) * kPowers5[up5];
        if (t > 0) {
            if (t >= 64 || (N >> (127 - t)) != 0)
                return false;
            N <<= t;
        }
        // Below 10^18 (s <= 0) D is a power of two, 2^-t, and the quotient a shift: the
        // case of every coordinate. Above it a true division.
        std::uint64_t q;
        U128 remainder;
        if (down5 == 0) {
            const int shift = t < 0 ? -t : 0;
            q = static_cast<std::uint64_t>(N >> shift);
            remainder = N & (D - 1);
        } else {
            q = static_cast<std::uint64_t>(N / D);
            remainder = N - static_cast<U128>(q) * D;
        }
        if (q >= kTenTo18) {  // the estimate was one short
            ++E;
            continue;
        }
        if (q < kTenTo17) {  // cannot happen with the estimate above; kept exact anyway
            --E;
            continue;
        }
        const U128 twiceRemainder = remainder * 2;
        if (twiceRemainder > D || (twiceRemainder == D && (q & 1)))
            ++q;
        StoreRoundedDigits(q, E, exponent, digits);
        return true;
    }
    return false;
}

// The same digits for the usual magnitudes, 10^-6 <= |x| < 10^18 (E from -5 to 18), by
// a shorter road. There s = E - 18 <= 0, so D is always 2^shift with shift = -(e2 - s)
// between 1 and 61 (|x| < 10^18 < 2^63 keeps e2 - s negative), N = m × 5^(18-E) stays
// below 2^118, and the quotient and remainder are the high and low parts of one shift.
// The estimate of E is E or E - 1, as above. False outside that range, and then the
// general routine above decides.
static bool EighteenDigitsBelow1e18(std::uint64_t m, int e2, int& exponent, char* digits)
{
    using U128 = unsigned __int128;
    int E = (((e2 + 63) * 78913) >> 18) + 1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (E > 18 || E < -5)
            return false;
        const int up5 = kRecordDigits - E;
        const int shift = -(e2 + up5);
        if (shift < 1 || shift > 61)
            return false;
        const U128 N = static_cast<U128>(m) * kPowers5[up5];
        std::uint64_t q = static_cast<std::uint64_t>(N >> shift);
        if (q >= kTenTo18) {  // the estimate was one short
            ++E;
            continue;
        }
        // Half way rounds to even: compare the remainder with half of D = 2^shift. No
        // branch: which way a value goes is a coin toss the processor cannot predict.
        const std::uint64_t remainder = static_cast<std::uint64_t>(N) & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        q += static_cast<std::uint64_t>((remainder > half) | ((remainder == half) & (q & 1)));
        StoreRoundedDigits(q, E, exponent, digits);
        return true;
    }
    return false;
}

// x's significand and binary exponent (as Decompose) and sign, read from its bits; false
// unless x is a normal number (also for the formats no arithmetic produces, which the
// classification below then takes as it always has).
static bool NormalBits(Extended x, std::uint64_t& m, int& e2, bool& negative)
{
    unsigned char bytes[10];
    std::memcpy(bytes, &x, sizeof bytes);
    std::memcpy(&m, bytes, 8);
    const unsigned signAndExponent = bytes[8] | (bytes[9] << 8);
    const unsigned biased = signAndExponent & 0x7FFF;
    if (biased == 0 || biased == 0x7FFF || (m >> 63) == 0)
        return false;
    e2 = static_cast<int>(biased) - 16383 - 63;
    negative = (signAndExponent >> 15) != 0;
    return true;
}

// glibc's printf converts the exact binary value and rounds to nearest, ties to even.
// The program's locale may have another decimal point, so the conversion runs under a
// "C" locale object of this thread only.
#ifndef _WIN32
static void EighteenDigitsByPrintf(Extended ax, int& exponent, char* digits)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const locale_t previous = uselocale(cLocale);
    char text[64];
    std::snprintf(text, sizeof text, "%.17Le", ax);  // "d.ddddddddddddddddde±x"
    uselocale(previous);
    digits[0] = text[0];
    std::memcpy(digits + 1, text + 2, kRecordDigits - 1);
    exponent = std::atoi(text + 2 + kRecordDigits - 1 + 1) + 1;
}
#else
// MinGW-w64's own printf (the one its libstdc++ selects, not msvcrt's, which knows no
// 80-bit long double) is exact as well, but has no per-thread locale object; its decimal
// point, whatever the locale, is skipped by taking the digits alone.
static void EighteenDigitsByPrintf(Extended ax, int& exponent, char* digits)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17Le", ax);
    const char* p = text;
    for (int n = 0; n < kRecordDigits; ++p)
        if (*p >= '0' && *p <= '9')
            digits[n++] = *p;
    exponent = std::atoi(std::strchr(p, 'e') + 1) + 1;
}
#endif

// The second rounding: cut at r = min(E + decimals, precision) digits, half away
// from zero on the 18 digits, and never leave a trailing "0".
static void RoundRecord(RawRecord& rec, int precision, int decimals)
{
    const long r0 = static_cast<long>(rec.exponent) + decimals;
    if (r0 < 0) {
        rec = RawRecord{};
        return;
    }
    const int r = static_cast<int>(std::min<long>(r0, std::max(precision, 0)));
    if (r >= kRecordDigits) {
        int n = kRecordDigits;
        while (n > 0 && rec.digits[n - 1] == '0')
            --n;
        rec.count = n;
        return;
    }
    if (rec.digits[r] >= '5') {
        int i = r - 1;
        while (i >= 0 && rec.digits[i] == '9')
            --i;  // a 9 turned into 0 by the carry: dropped from the end
        if (i < 0) {
            rec.digits[0] = '1';
            rec.count = 1;
            ++rec.exponent;
            return;
        }
        ++rec.digits[i];
        rec.count = i + 1;
        return;
    }
    int n = r;
    while (n > 0 && rec.digits[n - 1] == '0')
        --n;
    if (n == 0) {
        rec = RawRecord{};
        return;
    }
    rec.count = n;
}

// Where the 18 digits come from: the exact integer arithmetic above with the C library
// beyond its range, or the C library alone (the reference the first is tested against).
enum class DigitSource { Integers, Library };

static RawRecord BuildRecord(Extended x, int precision, int decimals, DigitSource source = DigitSource::Integers)
{
    RawRecord rec;
    if (source == DigitSource::Integers) {
        std::uint64_t m;
        int e2;
        bool negative;
        if (NormalBits(x, m, e2, negative) && EighteenDigitsBelow1e18(m, e2, rec.exponent, rec.digits)) {
            rec.negative = negative;
            RoundRecord(rec, precision, decimals);
            if (rec.count == 0)
                rec.negative = false;
            return rec;
        }
    }
    if (std::isnan(x)) {
        rec.kind = DigitRecord::Kind::NotANumber;
        return rec;
    }
    if (std::isinf(x)) {
        rec.kind = DigitRecord::Kind::Infinity;
        rec.negative = std::signbit(x);
        return rec;
    }
    const Extended ax = std::fabs(x);
    // Zero and subnormals: no normal representation, so no digits.
    if (ax < std::numeric_limits<Extended>::min())
        return rec;
    rec.negative = std::signbit(x);
    if (source == DigitSource::Library || !EighteenDigitsByIntegers(ax, rec.exponent, rec.digits))
        EighteenDigitsByPrintf(ax, rec.exponent, rec.digits);
    RoundRecord(rec, precision, decimals);
    if (rec.count == 0)
        rec.negative = false;
    return rec;
}

static DigitRecord MakeDigitRecordFrom(Extended value, int precision, int decimals, DigitSource source)
{
    const RawRecord raw = BuildRecord(value, precision, decimals, source);
    DigitRecord rec;
    rec.kind = raw.kind;
    rec.negative = raw.negative;
    rec.exponent = raw.exponent;
    rec.digits.assign(raw.digits, static_cast<std::size_t>(raw.count));
    return rec;
}

DigitRecord MakeDigitRecord(Extended value, int precision, int decimals)
{
    return MakeDigitRecordFrom(value, precision, decimals, DigitSource::Integers);
}

DigitRecord MakeDigitRecordByLibrary(Extended value, int precision, int decimals)
{
    return MakeDigitRecordFrom(value, precision, decimals, DigitSource::Library);
}

// ---------------------------------------------------------------------------------------
// Writing records

static void AppendInteger(std::string& out, long n)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    out.append(buffer, result.ptr);
}

// Infinity and not-a-number; false for finite records.
static bool AppendSpecial(std::string& out, const RawRecord& rec)
{
    if (rec.kind == DigitRecord::Kind::NotANumber) {
        out += "NAN";
        return true;
    }
    if (rec.kind == DigitRecord::Kind::Infinity) {
        out += rec.negative ? "-INF" : "INF";
        return true;
    }
    return false;
}

// "1.2345E-5": the first digit, the others after the mark, then E − 1.
static void AppendScientific(std::string& out, const RawRecord& rec)
{
    if (rec.negative)
        out += '-';
    out += rec.digits[0];
    if (rec.count > 1) {
        out += DecimalMark();
        out.append(rec.digits + 1, static_cast<std::size_t>(rec.count - 1));
    }
    out += 'E';
    AppendInteger(out, rec.exponent - 1);
}

static int ClampPrecision(int precision)
{
    return std::clamp(precision, 2, 18);
}

static std::string GeneralFormatFrom(Extended value, int precision, DigitSource source)
{
    const int P = ClampPrecision(precision);
    const RawRecord rec = BuildRecord(value, P, kUnlimitedDecimals, source);
    std::string out;
    if (AppendSpecial(out, rec))
        return out;
    const int E = rec.exponent;
    if (E > P || E < -3) {
        AppendScientific(out, rec);
        return out;
    }
    if (rec.negative)
        out += '-';
    if (E > 0) {
        const int whole = std::min(E, rec.count);
        out.append(rec.digits, static_cast<std::size_t>(whole));
        out.append(static_cast<std::size_t>(E - whole), '0');
        if (rec.count > E) {
            out += DecimalMark();
            out.append(rec.digits + E, static_cast<std::size_t>(rec.count - E));
        }
        return out;
    }
    out += '0';
    if (rec.count > 0) {
        out += DecimalMark();
        out.append(static_cast<std::size_t>(-E), '0');
        out.append(rec.digits, static_cast<std::size_t>(rec.count));
    }
    return out;
}

std::string GeneralFormat(Extended value, int precision)
{
    return GeneralFormatFrom(value, precision, DigitSource::Integers);
}

std::string GeneralFormatByLibrary(Extended value, int precision)
{
    return GeneralFormatFrom(value, precision, DigitSource::Library);
}

std::string FixedFormat(Extended value, int precision, int decimals)
{
    const int P = ClampPrecision(precision);
    const int D = std::min(decimals, 18);
    const RawRecord rec = BuildRecord(value, P, D);
    std::string out;
    if (AppendSpecial(out, rec))
        return out;
    const int E = rec.exponent;
    if (E > P) {
        AppendScientific(out, rec);
        return out;
    }
    if (rec.negative)
        out += '-';
    int used = 0;  // digits written so far
    if (E <= 0) {
        out += '0';
    } else {
        used = std::min(E, rec.count);
        out.append(rec.digits, static_cast<std::size_t>(used));
        out.append(static_cast<std::size_t>(E - used), '0');
    }
    if (D > 0) {
        out += DecimalMark();
        const int zeros = E < 0 ? std::min(-E, D) : 0;
        out.append(static_cast<std::size_t>(zeros), '0');
        const int more = std::min(rec.count - used, D - zeros);
        out.append(rec.digits + used, static_cast<std::size_t>(more));
        out.append(static_cast<std::size_t>(D - zeros - more), '0');
    }
    return out;
}

std::string IntegerText(std::int32_t n)
{
    std::string out;
    AppendInteger(out, n);
    return out;
}

// ---------------------------------------------------------------------------------------
// Whole numbers

std::int32_t TruncToInt(Extended value)
{
    SilenceInvalidOperation();
    // What the processor's 64-bit conversion gives for NaN and out-of-range values is
    // the most negative 64-bit integer, whose low 32 bits are 0. The test comes first so
    // that the conversion itself never meets such a value and raises nothing.
    constexpr Extended two63 = 9223372036854775808.0L;
    if (std::isnan(value) || !(value > -two63 - 1.0L) || !(value < two63))
        return 0;
    // A compiler whose floating-point model ignores the exception flags (clang's default)
    // may otherwise hoist the conversion above the test and run it on every value. Read
    // through a volatile, the value exists only once the test has passed.
    const volatile Extended tested = value;
    const std::int64_t whole = static_cast<std::int64_t>(tested);  // toward zero
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole)));
}

std::string FormatDms(Extended x)
{
    // Each part is cut separately, so every part carries the sign of x and the seconds
    // never carry into the minutes.
    const std::int32_t deg = TruncToInt(x);
    const std::int32_t min = TruncToInt((x - deg) * 60);
    const std::int32_t whole = TruncToInt((x - deg) * 3600) % 60;
    const Extended seconds3600 = x * 3600;
    const Extended sec = (whole + seconds3600) - TruncToInt(seconds3600);
    std::string out = IntegerText(deg);
    out += "\xC2\xB0";  // U+00B0 degree sign
    out += IntegerText(min);
    out += "\xE2\x80\x99";  // U+2019 right single quotation mark
    out += FixedFormat(sec, 4, 2);
    return out;
}

// ---------------------------------------------------------------------------------------
// Reading numbers

// Correctly rounded extended powers of ten: 10^i (digits.h), 10^(32 i) and 10^(512 i).
static const Extended kTens32[16] = {
    1e0L,   1e32L,  1e64L,  1e96L,  1e128L, 1e160L, 1e192L, 1e224L,
    1e256L, 1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L};
static const Extended kTens512[10] = {1e0L,    1e512L,  1e1024L, 1e1536L, 1e2048L,
                                      1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L};

[[noreturn]] static void ThrowParseError(std::string_view text)
{
    std::string message = "'";
    message.append(text);
    message += "' is not a valid floating point value";
    throw ParseError(message);
}

// The overflow flag raised while reading a refused text belongs to that text, not to
// the caller's computation: it is cleared unless it was already raised before.
[[noreturn]] static void ThrowOverflow(std::string_view text, int flagsBefore)
{
    std::feclearexcept(FE_OVERFLOW & ~flagsBefore);
    ThrowParseError(text);
}

// The digits of a number text as one integer, value × 10 + digit for each digit. Up to 19
// digits every step is exact (the integer stays below 10^19 < 2^64), so those are taken
// in 64-bit integer arithmetic, which gives the same value as the extended steps; from
// the 20th digit on each step is an extended operation, rounded as before. With
// integerDigits false every step is extended: the reference the first is tested against.
template <bool integerDigits>
class DigitAccumulator {
public:
    // `beforeRounding` runs once, just before the first extended step.
    template <typename BeforeRounding>
    void Take(int digit, BeforeRounding beforeRounding)
    {
        if constexpr (integerDigits) {
            if (count_ < kExactDigits) {
                whole_ = whole_ * 10 + static_cast<std::uint64_t>(digit);
                ++count_;
                return;
            }
            if (count_ == kExactDigits) {
                beforeRounding();
                value_ = static_cast<Extended>(whole_);
                ++count_;
            }
        }
        value_ = value_ * 10 + digit;
    }
    Extended Value() const
    {
        return !integerDigits || count_ > kExactDigits ? value_ : static_cast<Extended>(whole_);
    }

private:
    static constexpr int kExactDigits = 19;
    std::uint64_t whole_ = 0;
    int count_ = 0;
    Extended value_ = 0;
};

template <bool integerDigits>
static Extended ReadNumberText(std::string_view text)
{
    // Whether overflow was raised before this text: needed only when the text itself
    // overflows. Below 20 digits and 10^32 nothing can (10^19 × 10^31 is far inside the
    // range, and a division never overflows), so the flag is read only on the way into
    // the operations that can, and the usual text never pays for it.
    int flagsBefore = -1;
    auto readFlagsBefore = [&flagsBefore] {
        if (flagsBefore < 0)
            flagsBefore = std::fetestexcept(FE_OVERFLOW);
    };
    if (!integerDigits)
        readFlagsBefore();
    const std::size_t n = text.size();
    const std::string& mark = DecimalMark();
    std::size_t i = 0;
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // All digits, before and after the mark, go into one integer; exact up to 19 digits.
    DigitAccumulator<integerDigits> digits;
    bool taken = false;
    long fractionDigits = 0;
    while (i < n && IsDigit(text[i])) {
        digits.Take(text[i] - '0', readFlagsBefore);
        taken = true;
        ++i;
    }
    if (text.substr(i, mark.size()) == mark) {
        i += mark.size();
        taken = true;
        while (i < n && IsDigit(text[i])) {
            digits.Take(text[i] - '0', readFlagsBefore);
            ++fractionDigits;
            ++i;
        }
    }
    if (!taken)
        ThrowParseError(text);
    long exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool exponentNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            ++i;
        }
        // Reading stops once the exponent reaches 500; a digit left over is an error below.
        while (i < n && IsDigit(text[i]) && exponent < 500) {
            exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (exponentNegative)
            exponent = -exponent;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        ThrowParseError(text);

    // An overflow anywhere shows as infinity at the end: the powers are finite and
    // nonzero, so no step can turn infinity back into a number.
    Extended value = digits.Value();
    if (std::isinf(value))
        ThrowOverflow(text, flagsBefore);
    const long k = exponent - fractionDigits;
    if (k <= -5120) {
        value = 0;
    } else if (k != 0) {
        const long a = k < 0 ? -k : k;
        if (k >= 32)
            readFlagsBefore();
        const Extended f1 = kPowersOfTen[a % 32];
        const Extended f32 = kTens32[(a / 32) % 16];
        const Extended f512 = kTens512[a / 512];
        if (k > 0) {
            if (a % 32 != 0)
                value = value * f1;
            if ((a / 32) % 16 != 0)
                value = value * f32;
            if (a / 512 != 0)
                value = value * f512;
        } else {
            if (a % 32 != 0)
                value = value / f1;
            if ((a / 32) % 16 != 0)
                value = value / f32;
            if (a / 512 != 0)
                value = value / f512;
        }
    }
    if (std::isinf(value))
        ThrowOverflow(text, flagsBefore);
    return negative ? -value : value;
}

Extended NumberFromText(std::string_view text)
{
    return ReadNumberText<true>(text);
}

Extended NumberFromTextByExtendedDigits(std::string_view text)
{
    return ReadNumberText<false>(text);
}
