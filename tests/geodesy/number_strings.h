#pragma once
// Text forms of extended numbers for expected-value tables: values are compared as the
// digits printf writes (glibc rounds long doubles exactly), so a table row holds the
// reference digits as written and a failure shows both texts.
#include <cstdio>
#include <string>

#include "geodesy/extended.h"

// Every digit that matters: for failure messages.
inline std::string Full(Extended value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
    return buffer;
}

// value rounded to `decimals` places, as "%.*Lf" writes it.
inline std::string Fixed(Extended value, int decimals)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", decimals, value);
    return buffer;
}

// A decimal as written in a reference table ("-0.00251891299064521103", "4.89e-12",
// "6356774.51606009723") in printf's %e form with the same significant digits
// ("-2.51891299064521103e-03"). Every written digit after the leading zeros counts.
inline std::string Scientific(const std::string& decimal, int* digitCount = nullptr)
{
    size_t start = 0;
    const bool negative = !decimal.empty() && decimal[0] == '-';
    if (negative)
        start = 1;
    const size_t exponentAt = decimal.find_first_of("eE");
    const std::string mantissa = decimal.substr(start, exponentAt == std::string::npos ? std::string::npos : exponentAt - start);
    const int writtenExponent = exponentAt == std::string::npos ? 0 : std::stoi(decimal.substr(exponentAt + 1));
    const size_t point = mantissa.find('.');
    const int integerLength = static_cast<int>(point == std::string::npos ? mantissa.size() : point);
    std::string digits;
    for (char c : mantissa)
        if (c != '.')
            digits += c;
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return "zero has no significant digits: " + decimal;
    const std::string significant = digits.substr(first);
    const int exponent = integerLength - 1 - static_cast<int>(first) + writtenExponent;
    if (digitCount)
        *digitCount = static_cast<int>(significant.size());
    char exponentText[16];
    std::snprintf(exponentText, sizeof exponentText, "e%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    const std::string decimalPoint = significant.size() > 1 ? "." : "";
    return std::string(negative ? "-" : "") + significant.substr(0, 1) + decimalPoint + significant.substr(1) + exponentText;
}

// value rounded to as many significant digits as `decimal` has, in the same form as
// Scientific(decimal): the two are equal when the value matches the written digits.
inline std::string RoundedLike(Extended value, const std::string& decimal)
{
    int digitCount = 1;
    Scientific(decimal, &digitCount);
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.*Le", digitCount - 1, value);
    return buffer;
}
