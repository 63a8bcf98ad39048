#pragma once
// The command-line rules of the options for named coordinate systems, precision and
// map formats: what they refuse and why.
#include <optional>
#include <string>

#include "convert_options.h"

std::string UnknownCrsMessage(const std::string& name);
std::string UnknownPrecisionMessage(const std::string& name);
std::string UnknownOutputFormatMessage(const std::string& name);

// After the whole command line: the reason why these options do not go together, if
// they do not. directionGiven and ellipsoidGiven: --to-tm2/--to-geographic and
// --ellipsoid were given.
std::optional<std::string> CrsOptionsProblem(const ConvertOptions& options, bool directionGiven, bool ellipsoidGiven);
