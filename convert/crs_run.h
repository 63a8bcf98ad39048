#pragma once
// What the reading thread sets up for --from/--to, --precision and the map formats.
#include <optional>
#include <string>
#include <vector>

#include "convert_options.h"
#include "convert/block.h"

// Copies the named systems, the precision and the map writer into a file's settings.
void SetNamedSystems(const ConvertOptions& options, MapWriter* map, ConversionSettings& settings);

// For map output: the file's field names (none without a header line) and the fields
// chosen, once settings.xField and yField are known.
void SetMapFields(ConversionSettings& settings, std::vector<std::string> names, std::optional<std::size_t> nameField);

// A first line's field that is data, not a name, for geographic systems read with
// --from: an angle in degrees, minutes and seconds, even one with too many minutes (its
// line is then stopped at as data).
bool LooksLikeAngle(const ConversionSettings& settings, const std::string& field, bool longitude);

// --name's field: a number from 1, or a header name in any case (which makes the first
// line a header). False when no header name matches.
bool FindNameField(const std::string& column, const std::vector<std::string>& names,
                   std::optional<std::size_t>& index, bool& header);
