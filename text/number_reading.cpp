// Reading numbers: NumberFromText; the steps are in number_text_internal.h.
#include <cfenv>
#include <string>

#include "text/number_text_internal.h"

void ThrowParseError(std::string_view text)
{
    std::string message = "'";
    message.append(text);
    message += "' is not a valid floating point value";
    throw ParseError(message);
}

void ThrowOverflow(std::string_view text, int flagsBefore)
{
    std::feclearexcept(FE_OVERFLOW & ~flagsBefore);
    ThrowParseError(text);
}

Extended NumberFromText(std::string_view text)
{
    return ReadNumberText<true>(text);
}
