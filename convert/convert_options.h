#pragma once
// The command line of kartovel-convert.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/crs.h"
#include "convert/map_output.h"
#include "text/conversion.h"

struct ConvertOptions {
    enum class Action { Convert, Help, Version };
    Action action = Action::Convert;
    ConversionMode mode = TM2ToGeographic;  // the window's start state
    int ellipsoidIndex = 0;                 // into kEllipsoids: 0 GRS67, 1 GRS80
    unsigned jobs = 0;                      // threads that convert; 0: one per core, at most kMaximumJobs
    std::vector<std::string> files;         // "-" is standard input; none means "-"
    bool pairsAcrossLines = false;          // numbers paired two by two wherever lines end
    bool quiet = false;                     // no warning about points outside Taiwan
    // Record mode, on when any of these or --decimal-comma is given: the two fields, as 1-based numbers or
    // header names ("1,2" when only --delimiter or --replace is given); the delimiter
    // (found from the first line when not given; ' ' stands for blanks); and whether the
    // values replace the fields instead of being appended.
    bool records = false;
    std::string columns[2] = {"1", "2"};
    std::optional<char> delimiter;
    bool replace = false;
    // Record numbers written with a decimal comma, and the results written so too; the
    // delimiter is then a semicolon, a tab or blanks, never a comma.
    bool decimalComma = false;
    // Named coordinate systems (--from and --to, always together): the datum shift and
    // both zones; mode and ellipsoidIndex are then not used.
    std::optional<Crs> from;
    std::optional<Crs> to;
    bool fullPrecision = false;                     // --precision full
    OutputFormat outputFormat = OutputFormat::Csv;  // --output-format
    std::optional<std::string> nameField;           // --name: a field number from 1 or a header name
};

// The most converting threads: beyond a few dozen the one reading thread is the limit,
// and each thread holds up to three blocks of input and output in flight.
inline constexpr unsigned kMaximumJobs = 64;

// GNU style: options anywhere before "--", "--ellipsoid grs80" or "--ellipsoid=grs80",
// "-j 2" or "-j2", the last of repeated options counts. --help and --version win over everything else
// that is valid. Returns the reason when the command line is not valid.
std::optional<std::string> ParseConvertOptions(const std::vector<std::string>& arguments,
                                               ConvertOptions& options);

// The one-line synopsis, and the whole help text (both end with a line end).
extern const char* const kConvertUsage;
extern const char* const kConvertHelp;
extern const char* const kConvertHelpChinese;

// The ellipsoid index of a name, in any case: grs67 or twd67 0, grs80 or twd97 1; -1
// for any other.
int EllipsoidIndexOfName(std::string_view name);
