#pragma once
// The parts the number text rules are built of, for their own source files and for the
// tests that check them against reference routines (tests/text/number_text_reference.h).
// Not for other callers: number_text.h is the contract.
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "geodesy/extended.h"
#include "text/digits.h"
#include "text/number_text.h"

// ---------------------------------------------------------------------------------------
// The 18-digit intermediate

// A value on its way to text: value = 0.d1 d2 d3 ... × 10^exponent.
struct DigitRecord {
    enum class Kind { Finite, Infinity, NotANumber };
    Kind kind = Kind::Finite;
    bool negative = false;   // never set for zero or NaN
    int exponent = 0;        // 0 for zero
    std::string digits;      // 0..18 digits, first and last never '0'; empty means zero
};

inline constexpr int kRecordDigits = 18;
inline constexpr int kUnlimitedDecimals = 1 << 20;

// A record under construction: digits[0..count) with value 0.d1 d2 ... × 10^exponent.
struct RawRecord {
    DigitRecord::Kind kind = DigitRecord::Kind::Finite;
    bool negative = false;
    int exponent = 0;
    int count = 0;
    char digits[kRecordDigits];
};


// Where the 18 digits of a finite, normal |x| come from: they are its exact decimal
// value rounded to 18 significant digits, ties to even, and `exponent` the E of
// 0.d1...d18 × 10^E. EighteenDigits takes exact integer arithmetic where it fits, the C
// library beyond; EighteenDigitsByLibrary always the C library's exact conversion.
using EighteenDigitsSource = void (*)(Extended ax, int& exponent, char* digits);
void EighteenDigits(Extended ax, int& exponent, char* digits);
void EighteenDigitsByLibrary(Extended ax, int& exponent, char* digits);

// Rounds |value| to 18 significant digits (ties to even), then half away from zero at
// min(exponent + decimals, precision) digits. precision is used as given (not clamped to
// 2..18); below 0 it counts as 0. Zero and subnormal values give the zero record.
// BuildRecord takes EighteenDigits; BuildRecordWith the source given (EighteenDigits or
// EighteenDigitsByLibrary).
RawRecord BuildRecord(Extended x, int precision, int decimals);
RawRecord BuildRecordWith(Extended x, int precision, int decimals, EighteenDigitsSource source);
DigitRecord MakeDigitRecordWith(Extended value, int precision, int decimals, EighteenDigitsSource source);
DigitRecord MakeDigitRecord(Extended value, int precision, int decimals);

// GeneralFormat with the 18 digits from `source`.
std::string GeneralFormatWith(Extended value, int precision, EighteenDigitsSource source);

// ---------------------------------------------------------------------------------------
// Reading numbers

// Correctly rounded extended powers of ten: 10^i (digits.h), 10^(32 i) and 10^(512 i).
inline constexpr Extended kTens32[16] = {
    1e0L,   1e32L,  1e64L,  1e96L,  1e128L, 1e160L, 1e192L, 1e224L,
    1e256L, 1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L};
inline constexpr Extended kTens512[10] = {1e0L,    1e512L,  1e1024L, 1e1536L, 1e2048L,
                                      1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L};

// Throw the ParseError of `text`.
[[noreturn]] void ThrowParseError(std::string_view text);
// The overflow flag raised while reading a refused text belongs to that text, not to
// the caller's computation: it is cleared unless it was already raised before.
[[noreturn]] void ThrowOverflow(std::string_view text, int flagsBefore);

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
Extended ReadNumberText(std::string_view text)
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
