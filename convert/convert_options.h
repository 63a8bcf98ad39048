#pragma once
// The command line of kartovel-convert.
#include <optional>
#include <string>
#include <vector>

#include "text/conversion.h"

struct ConvertOptions {
    enum class Action { Convert, Help, Version };
    Action action = Action::Convert;
    ConversionMode mode = TM2ToGeographic;  // the window's start state
    int ellipsoidIndex = 0;                 // into kEllipsoids: 0 GRS67, 1 GRS80
    unsigned jobs = 0;                      // 0: one thread per core
    std::vector<std::string> files;         // "-" is standard input; none means "-"
};

inline constexpr unsigned kMaximumJobs = 1024;

// GNU style: options anywhere before "--", "--ellipsoid grs80" or "--ellipsoid=grs80",
// the last of repeated options counts. --help and --version win over everything else
// that is valid. Returns the reason when the command line is not valid.
std::optional<std::string> ParseConvertOptions(const std::vector<std::string>& arguments,
                                               ConvertOptions& options);

// The one-line synopsis, and the whole help text (both end with a line end).
extern const char* const kConvertUsage;
extern const char* const kConvertHelp;
