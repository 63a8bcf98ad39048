#pragma once
// One point of a block: its two number texts to the two result texts, with the stop or
// the outside-Taiwan count recorded on the block.
#include <cstddef>
#include <string_view>

#include "convert/block.h"
#include "text/conversion.h"

// Converts the numbers x and y (texts of the batch grammar) as the batch page does (the
// 15-digit table value, then the result texts); on failure sets the block's stop at the
// line of the number that was refused (the x line for a failed projection).
class PointConverter {
public:
    PointConverter(const ConversionSettings& settings, Block& block) : settings_(settings), block_(block) {}

    bool Convert(std::string_view x, std::size_t xLine, std::string_view y, std::size_t yLine,
                 PointResultTexts& texts);

    // The value of a number text as the table holds it, or the stop at `line`.
    bool Value(std::string_view number, std::size_t line, Extended& value);

    // The result texts of the values x and y: the batch page's, or those of the named
    // systems (--from/--to) and of --precision full; or the stop at `xLine`.
    bool ConvertValues(Extended x, Extended y, std::size_t xLine, PointResultTexts& texts);

private:
    const ConversionSettings& settings_;
    Block& block_;
};
