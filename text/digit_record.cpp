#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#ifndef _WIN32
#include <locale.h>  // newlocale, uselocale
#endif

#include "text/number_text_internal.h"

// ---------------------------------------------------------------------------------------
// The 18-digit intermediate

static constexpr std::uint64_t kTenTo17 = 100000000000000000ULL;
static constexpr std::uint64_t kTenTo18 = 1000000000000000000ULL;

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
[[gnu::always_inline]] static inline bool EighteenDigitsBelow1e18(std::uint64_t m, int e2, int& exponent, char* digits)
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
void EighteenDigitsByLibrary(Extended ax, int& exponent, char* digits)
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
void EighteenDigitsByLibrary(Extended ax, int& exponent, char* digits)
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
[[gnu::always_inline]] static inline void RoundRecord(RawRecord& rec, int precision, int decimals)
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

// The body of EighteenDigits, inlined where records are built.
[[gnu::always_inline]] static inline void IntegerDigitsOrLibrary(Extended ax, int& exponent, char* digits)
{
    std::uint64_t m;
    int e2;
    bool negative;
    if (NormalBits(ax, m, e2, negative) && EighteenDigitsBelow1e18(m, e2, exponent, digits))
        return;
    if (!EighteenDigitsByIntegers(ax, exponent, digits))
        EighteenDigitsByLibrary(ax, exponent, digits);
}

void EighteenDigits(Extended ax, int& exponent, char* digits)
{
    IntegerDigitsOrLibrary(ax, exponent, digits);
}

// One body for both: the program's source is known here, so that its call is direct and
// the integer road is inlined.
template <EighteenDigitsSource source>
static RawRecord BuildRecordFrom(Extended x, int precision, int decimals)
{
    RawRecord rec;
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
    source(ax, rec.exponent, rec.digits);
    RoundRecord(rec, precision, decimals);
    if (rec.count == 0)
        rec.negative = false;
    return rec;
}

RawRecord BuildRecord(Extended x, int precision, int decimals)
{
    return BuildRecordFrom<IntegerDigitsOrLibrary>(x, precision, decimals);
}

RawRecord BuildRecordWith(Extended x, int precision, int decimals, EighteenDigitsSource source)
{
    if (source == EighteenDigitsByLibrary) return BuildRecordFrom<EighteenDigitsByLibrary>(x, precision, decimals);
    return BuildRecordFrom<EighteenDigits>(x, precision, decimals);
}

DigitRecord MakeDigitRecordWith(Extended value, int precision, int decimals, EighteenDigitsSource source)
{
    const RawRecord raw = BuildRecordWith(value, precision, decimals, source);
    DigitRecord rec;
    rec.kind = raw.kind;
    rec.negative = raw.negative;
    rec.exponent = raw.exponent;
    rec.digits.assign(raw.digits, static_cast<std::size_t>(raw.count));
    return rec;
}

DigitRecord MakeDigitRecord(Extended value, int precision, int decimals)
{
    return MakeDigitRecordWith(value, precision, decimals, EighteenDigits);
}
