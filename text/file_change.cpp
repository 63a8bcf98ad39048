#include "text/file_change.h"

static bool EndsNumber(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t WholeNumbersLength(std::string_view read, int next)
{
    if ((next >= 0 && EndsNumber(static_cast<char>(next))) || read.find('\x1A') != std::string_view::npos)
        return read.size();
    const std::size_t lineEnd = read.find_last_of("\n\r");
    if (lineEnd != std::string_view::npos)
        return lineEnd + 1;
    const std::size_t blank = read.find_last_of(" \t\v\f");
    return blank == std::string_view::npos ? 0 : blank + 1;
}
