// Fuzzes reading and writing numbers. Properties checked, besides never crashing:
//  - NumberFromText either throws ParseError with the exact message or returns a
//    finite value; a text outside the grammar is always refused; a text with at most
//    19 significant digits and a shift of at most 27 places reads as the correctly
//    rounded value (one operation on exact operands).
//  - Every text GeneralFormat writes (other than INF and NAN) reads back, except an
//    overflow at the very top of the range; with precision 18 the value read back is
//    within half a unit of the 18th digit and writes the same text again, and a double
//    comes back as itself once rounded to double.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <string>
#include <string_view>

#include "text/number_text.h"

[[noreturn]] static void Fail(const char* what, std::string_view text)
{
    std::fprintf(stderr, "property broken: %s: '%.*s'\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

static Extended CorrectlyRounded(const std::string& text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return strtold_l(text.c_str(), nullptr, c);
}

// The grammar, recognised independently: spaces, sign, digits, mark and digits, exponent
// (digits taken while below 500), spaces. Fills `plain` with the same number written
// with ".".
struct Shape {
    bool valid = false;
    int significant = 0;
    long shift = 0;
    std::string plain;
};

static Shape Recognise(std::string_view t, std::string_view mark)
{
    Shape s;
    std::size_t i = 0;
    auto digit = [&](std::size_t j) { return j < t.size() && t[j] >= '0' && t[j] <= '9'; };
    while (i < t.size() && t[i] == ' ')
        ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        s.plain += t[i++];
    bool any = false, leading = true;
    long fraction = 0;
    auto take = [&](bool inFraction) {
        any = true;
        if (t[i] != '0')
            leading = false;
        if (!leading)
            ++s.significant;
        if (inFraction)
            ++fraction;
        s.plain += t[i++];
    };
    while (digit(i))
        take(false);
    if (t.substr(i, mark.size()) == mark) {
        i += mark.size();
        any = true;
        s.plain += '.';
        while (digit(i))
            take(true);
    }
    if (!any)
        return s;
    long exponent = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            negative = t[i++] == '-';
        while (digit(i) && exponent < 500)
            exponent = exponent * 10 + (t[i++] - '0');
    }
    while (i < t.size() && t[i] == ' ')
        ++i;
    s.valid = i == t.size();
    s.shift = (negative ? -exponent : exponent) - fraction;
    s.plain += "e" + std::to_string(negative ? -exponent : exponent);
    return s;
}

static void CheckReading(std::string_view text, std::string_view mark)
{
    SetDecimalMark(mark);
    const Shape shape = Recognise(text, mark);
    Extended value;
    try {
        value = NumberFromText(text);
    } catch (const ParseError& error) {
        // what() is a C string: a text holding a NUL byte is cut there.
        const std::string expected =
            "'" + std::string(text) + "' is not a valid floating point value";
        if (std::string(error.what()) != expected.c_str())
            Fail("parse error message", text);
        if (shape.valid && shape.shift < 4000 && shape.significant <= 19)
            Fail("refused a text without overflow", text);
        return;
    }
    if (!shape.valid)
        Fail("accepted a text outside the grammar", text);
    if (!std::isfinite(value))
        Fail("returned a value that is not finite", text);
    if (shape.significant <= 19 && std::labs(shape.shift) <= 27 &&
        value != CorrectlyRounded(shape.plain))
        Fail("not the correctly rounded value", text);
}

static void CheckWriting(Extended x, int precision, bool isDouble)
{
    SetDecimalMark(".");
    const std::string text = GeneralFormat(x, precision);
    FixedFormat(x, precision, precision - 6);
    FormatDms(x);
    if (!std::isfinite(x)) {
        if (text != (std::isnan(x) ? "NAN" : (x < 0 ? "-INF" : "INF")))
            Fail("special value text", text);
        return;
    }
    Extended back;
    try {
        back = NumberFromText(text);
    } catch (const ParseError&) {
        const bool atTop = precision >= 18 ? std::fabs(x) > 1.18973149535723176e4932L
                                           : std::fabs(x) > 9e4931L;
        if (!atTop)
            Fail("a written text does not read back", text);
        return;
    }
    if (precision < 18 || std::fabs(x) < std::numeric_limits<Extended>::min())
        return;
    if (GeneralFormat(back, 18) != text)
        Fail("the 18-digit text does not write itself again", text);
    // Half a unit of the 18th digit (at most 5e-18 of the value) and a few extended
    // roundings of the reading.
    if (!(std::fabs(back - x) <= 5.25e-18L * std::fabs(x)))
        Fail("read back further than half a unit of the 18th digit", text);
    if (isDouble && static_cast<double>(back) != static_cast<double>(x))
        Fail("a double does not come back", text);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t selector = data[0];
    ++data;
    --size;
    if (selector < 128) {
        static const char* const marks[] = {".", ",", "\xD9\xAB"};
        CheckReading(std::string_view(reinterpret_cast<const char*>(data), size),
                     marks[selector % 3]);
        return 0;
    }
    if (size < 10)
        return 0;
    std::uint64_t m;
    std::uint16_t e;
    std::memcpy(&m, data, 8);
    std::memcpy(&e, data + 8, 2);
    const int precision = static_cast<int>(selector % 24) - 2;
    Extended x;
    bool isDouble = false;
    if (selector & 64) {
        double d;
        std::memcpy(&d, data, 8);
        x = d;
        isDouble = true;
    } else if (e == 0xFFFF) {
        x = (m & 1) ? std::numeric_limits<Extended>::quiet_NaN()
                    : ((m & 2) ? -1 : 1) * std::numeric_limits<Extended>::infinity();
    } else {
        // Any valid encoding: a 64-bit integer scaled across the whole exponent range,
        // from subnormals to just past the largest value.
        const int scale = e & 0x7FFF;
        x = std::ldexp(static_cast<Extended>(m), scale + scale / 512 - 16445 - 63);
        if (e & 0x8000)
            x = -x;
    }
    CheckWriting(x, precision, isDouble);
    return 0;
}
