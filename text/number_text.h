#pragma once
// The rules that turn numbers into the program's texts and texts into numbers.
// Texts are UTF-8. The only state is DecimalMark; no C locale is ever consulted.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "geodesy/extended.h"

// The decimal separator of parsing and formatting: one character, held as its UTF-8
// bytes. "." until set. SetDecimalMark keeps the first character of `mark` (so the
// user's whole decimal symbol may be passed); an empty mark sets ".".
// Plain global state: set it from the thread that formats and parses.
const std::string& DecimalMark();
void SetDecimalMark(std::string_view mark);

// Thrown by NumberFromText; what() is "'<text>' is not a valid floating point value"
// with the text exactly as given.
class ParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// At most `precision` (clamped to 2..18) significant digits; scientific form "1.5E-5"
// when the exponent is above the precision or below -3; "INF", "-INF", "NAN".
std::string GeneralFormat(Extended value, int precision);
// Integer part and exactly `decimals` (capped at 18) decimals, general scientific form
// when the value has more integer digits than `precision` (clamped to 2..18).
std::string FixedFormat(Extended value, int precision, int decimals);
std::string IntegerText(std::int32_t n);
// Truncates toward zero to 64 bits and keeps the low 32; NaN or out-of-range gives 0.
// Never raises; silences the invalid-operation error (floating_point.h).
std::int32_t TruncToInt(Extended value);
// Degrees, minutes and seconds: "121°7’24.44"; each part carries its own sign.
std::string FormatDms(Extended degrees);

// Blanks (spaces only) around an optional sign, digits with an optional DecimalMark,
// and an optional exponent ("5e" and "." are accepted). Throws ParseError for anything
// else, or on overflow; an underflow gives a subnormal or zero. Not correctly rounded
// in general: one rounded operation for up to 19 digits and |shift| up to 27, several
// beyond. An 18-digit GeneralFormat text reads back to the same 18-digit text (and a
// double to itself once rounded to double), except at the very top of the range, where
// the rounded-up text lies above the largest extended value and overflows.
Extended NumberFromText(std::string_view text);
