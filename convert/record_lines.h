#pragma once
// Record lines of a delimited text file ("CSV"): the two chosen fields converted, every
// other byte of the line kept.
#include <string>
#include <string_view>
#include <vector>

#include "convert/block.h"
#include "text/record_fields.h"

// A record line with the two texts appended after the delimiter (a space for blanks), or
// put in the chosen fields' places with settings.replace; without its line end.
void AppendRecord(std::string& out, std::string_view line, const std::vector<FieldSpan>& fields,
                  const ConversionSettings& settings, std::string_view first, std::string_view second);

// Converts the lines of a RecordLines block: blank lines (field blanks only) go out as
// they are, every other line must hold the chosen fields as numbers. Stops at the first
// line that does not, with the message for its line.
void ConvertRecordLines(const ConversionSettings& settings, Block& block);
