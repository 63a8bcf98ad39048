#include "dms_text.h"

#include <charconv>
#include <string>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the unit sign at `p` that is one of `signs` (UTF-8 texts); advances past it.
bool TakeSign(std::string_view text, std::size_t& p, std::initializer_list<std::string_view> signs)
{
    for (std::string_view sign : signs)
        if (text.substr(p).starts_with(sign)) {
            p += sign.size();
            return true;
        }
    return false;
}

void SkipBlanks(std::string_view text, std::size_t& p)
{
    while (p < text.size() && IsBlank(text[p])) ++p;
}

// Digits with at most one decimal point; `decimal` tells whether it had one.
bool TakeNumber(std::string_view text, std::size_t& p, Extended& value, bool& decimal)
{
    const std::size_t begin = p;
    std::size_t digits = 0;
    decimal = false;
    while (p < text.size() && (IsDigit(text[p]) || (text[p] == '.' && !decimal))) {
        if (text[p] == '.') decimal = true;
        else ++digits;
        ++p;
    }
    if (digits == 0) return false;
    const auto [end, ec] = std::from_chars(text.data() + begin, text.data() + p, value, std::chars_format::fixed);
    return ec == std::errc() && end == text.data() + p;
}

}  // namespace

DmsProblem ParseDms(std::string_view text, AngleAxis axis, Extended& degrees)
{
    std::size_t p = 0;
    SkipBlanks(text, p);
    // A sign or a hemisphere letter in front.
    bool negative = false;
    bool signGiven = false;
    char hemisphere = 0;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        signGiven = true;
        ++p;
    } else if (p < text.size() && std::string_view("NSEW").find(text[p]) != std::string_view::npos) {
        hemisphere = text[p];
        ++p;
    }
    SkipBlanks(text, p);

    // Up to three numbers, each followed by its unit; only the last may be decimal.
    static const std::initializer_list<std::string_view> kDegreeSigns = {"\xC2\xB0", "\xC2\xBA", "d"};
    static const std::initializer_list<std::string_view> kMinuteSigns = {"'", "\xE2\x80\xB2", "\xE2\x80\x99", "m"};
    static const std::initializer_list<std::string_view> kSecondSigns = {"\"", "\xE2\x80\xB3", "''", "s"};
    Extended parts[3] = {0, 0, 0};
    int count = 0;
    bool decimal = false;
    bool bareDegrees = false;
    for (; count < 3; ++count) {
        if (count > 0) SkipBlanks(text, p);
        if (decimal || p == text.size() || (!IsDigit(text[p]) && text[p] != '.')) break;
        if (!TakeNumber(text, p, parts[count], decimal)) return DmsProblem::NotAnAngle;
        SkipBlanks(text, p);
        const bool unit = TakeSign(text, p, count == 0 ? kDegreeSigns : count == 1 ? kMinuteSigns : kSecondSigns);
        // Only seconds may go without their sign (the window writes none), and degrees
        // alone beside a hemisphere letter ("N23.5").
        if (!unit && count == 0) {
            bareDegrees = true;
            count = 1;
            break;
        }
        if (!unit && count != 2) return DmsProblem::NotAnAngle;
    }
    if (count == 0) return DmsProblem::NotAnAngle;
    SkipBlanks(text, p);
    if (p < text.size() && hemisphere == 0 && !signGiven &&
        std::string_view("NSEW").find(text[p]) != std::string_view::npos) {
        hemisphere = text[p];
        ++p;
        SkipBlanks(text, p);
    }
    if (p != text.size() || (bareDegrees && hemisphere == 0)) return DmsProblem::NotAnAngle;
    if (parts[1] >= 60) return DmsProblem::MinutesTooLarge;
    if (parts[2] >= 60) return DmsProblem::SecondsTooLarge;
    if (hemisphere != 0) {
        const bool latitudeLetter = hemisphere == 'N' || hemisphere == 'S';
        if (latitudeLetter != (axis == AngleAxis::Latitude)) return DmsProblem::WrongHemisphere;
        negative = hemisphere == 'S' || hemisphere == 'W';
    }
    const Extended value = parts[0] + parts[1] / 60 + parts[2] / 3600;
    degrees = negative ? -value : value;
    return DmsProblem::None;
}
