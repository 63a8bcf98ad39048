#pragma once
// The reference routines the number text rules are tested against: the same rules by the
// plainest road, several times slower.
#include <string>
#include <string_view>

#include "text/number_text_internal.h"

// The 18 digits always from the C library's exact conversion of the extended value,
// instead of the integer arithmetic used for magnitudes from about 10^-6 to 10^44.
inline DigitRecord MakeDigitRecordByLibrary(Extended value, int precision, int decimals)
{
    return MakeDigitRecordWith(value, precision, decimals, EighteenDigitsByLibrary);
}
inline std::string GeneralFormatByLibrary(Extended value, int precision)
{
    return GeneralFormatWith(value, precision, EighteenDigitsByLibrary);
}

// Every digit taken by an extended operation and the overflow flag read for every text.
inline Extended NumberFromTextByExtendedDigits(std::string_view text)
{
    return ReadNumberText<false>(text);
}
