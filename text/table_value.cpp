// Numbers are found by the batch-file reader's scanner; the double comes from
// std::from_chars (exact, no locale), as in the reader.
#include "text/table_value.h"

#include <algorithm>
#include <cstdint>

#include "text/batch_reader.h"
#include "text/conversion.h"
#include "text/digits.h"
#include "text/number_text.h"

// The digits of a number text, its first nonzero digit's decimal position (the value
// lies in [10^(lead-1), 10^lead)) and the integer of its significant digits.
struct Digits {
    bool nonzero = false;
    bool negative = false;
    std::int64_t lead = 0;
    int significant = 0;            // counted up to 16
    std::uint64_t mantissa = 0;     // the first 15 significant digits, trailing zeros dropped
    std::int64_t power = 0;         // mantissa × 10^power is the value when significant <= 15
};

static Digits ReadDigits(std::string_view number)
{
    Digits d;
    const char* p = number.data();
    const char* end = p + number.size();
    if (p != end && (*p == '+' || *p == '-')) d.negative = *p++ == '-';
    std::int64_t zerosPending = 0;  // zeros after the last nonzero digit
    std::int64_t lastNonzero = 0;
    auto take = [&](char c, std::int64_t place) {
        if (c == '0') {
            zerosPending += d.nonzero;
            return;
        }
        if (!d.nonzero) {
            d.nonzero = true;
            d.lead = place + 1;
        }
        const std::int64_t count = d.lead - place;  // digits from the first nonzero one to here
        if (count <= 15) {
            for (; zerosPending > 0; --zerosPending) d.mantissa *= 10;
            d.mantissa = d.mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        }
        d.significant = static_cast<int>(std::min<std::int64_t>(16, count));
        zerosPending = 0;
        lastNonzero = place;
    };
    // Integer digits: their places are known once their count is.
    const char* integerEnd = SkipDigits(p, end);
    std::int64_t position = integerEnd - p;
    for (; p != integerEnd; ++p)
        take(*p, --position);
    if (p != end && *p == '.') {
        for (++p; p != end && IsDigit(*p); ++p)
            take(*p, --position);
    }
    const std::int64_t exponent = ExponentAt(p, end);
    d.lead += exponent;
    d.power = lastNonzero + exponent;
    return d;
}

bool TableValueWithoutText(std::string_view number, Extended& value)
{
    const Digits d = ReadDigits(number);
    // 10^-4 <= |D| < 10^15: lead from -3 to 15.
    if (!d.nonzero || d.significant > 15 || d.lead < -3 || d.lead > 15)
        return false;
    Extended v = static_cast<Extended>(d.mantissa);
    if (d.power > 0)
        v = v * kPowersOfTen[d.power];
    else if (d.power < 0)
        v = v / kPowersOfTen[-d.power];
    value = d.negative ? -v : v;
    return true;
}

Extended TableValue(std::string_view number)
{
    Extended value;
    if (TableValueWithoutText(number, value))
        return value;
    return NumberFromText(BatchCellText(BatchNumberValue(number)));
}
