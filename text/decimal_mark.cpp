#include <algorithm>
#include <string>

#include "text/number_text.h"
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
