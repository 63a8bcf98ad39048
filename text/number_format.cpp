#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "geodesy/floating_point.h"
#include "text/number_text_internal.h"

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

// The general form of a record built at precision P.
static std::string GeneralText(const RawRecord& rec, int P)
{
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
    const int P = ClampPrecision(precision);
    return GeneralText(BuildRecord(value, P, kUnlimitedDecimals), P);
}

std::string GeneralFormatWith(Extended value, int precision, EighteenDigitsSource source)
{
    const int P = ClampPrecision(precision);
    return GeneralText(BuildRecordWith(value, P, kUnlimitedDecimals, source), P);
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
