#include "convert_options.h"

#include <charconv>
#include <string>
#include <string_view>

const char* const kConvertUsage =
    "Usage: kartovel-convert [--to-geographic | --to-tm2] [--ellipsoid grs67|grs80] [--jobs N] [FILE...]\n";

const char* const kConvertHelp =
    "Usage: kartovel-convert [--to-geographic | --to-tm2] [--ellipsoid grs67|grs80] [--jobs N] [FILE...]\n"
    "\n"
    "Converts coordinate pairs between Taiwan's TM2 grid (2-degree Transverse Mercator,\n"
    "central meridian 121 E, false easting 250000 m, scale 0.9999) and geographic\n"
    "longitude and latitude in decimal degrees. Writes one line per pair to standard\n"
    "output, in input order: the lines the Kartovel window's batch page shows for the\n"
    "same file.\n"
    "\n"
    "Input: whitespace-separated decimal numbers with \".\" as the decimal point, taken\n"
    "two by two as x y: easting northing in metres, or longitude latitude in degrees.\n"
    "Each number is first rounded to the 15 significant digits the window's table shows.\n"
    "A byte 26 (Ctrl-Z) ends a file.\n"
    "With no FILE, or where FILE is -, standard input is read. Several files are\n"
    "converted one after another into one output.\n"
    "\n"
    "Output: \"longitude latitude\" with 8 and 7 significant digits, or \"easting northing\"\n"
    "with 8 and 9 significant digits; \".\" as the decimal point whatever the locale.\n"
    "\n"
    "  --to-geographic   TM2 easting northing to longitude latitude (the default)\n"
    "  --to-tm2          longitude latitude to TM2 easting northing\n"
    "  --ellipsoid NAME  grs67 (TWD67, the default) or grs80 (TWD97); only the ellipsoid\n"
    "                    changes, no datum shift is applied\n"
    "  --jobs N          convert on N threads, 1 to 1024 (default: one per core); the\n"
    "                    output is the same for every N\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "When an option is repeated, the last one counts.\n"
    "\n"
    "The run stops at the first problem, after writing the lines of every pair before\n"
    "it; later files are not read. On standard error (FILE is <stdin> for standard input):\n"
    "  kartovel-convert: FILE: REASON                 the file cannot be read\n"
    "  FILE:LINE: cannot read a pair of numbers at \"TEXT\"\n"
    "                                                 text that is not a number, or a\n"
    "                                                 last number without its partner\n"
    "  FILE:LINE: 'INF' is not a valid floating point value\n"
    "                                                 a number beyond the double range\n"
    "                                                 (shown as INF in the window's table)\n"
    "  FILE:LINE: Floating point overflow             a pair whose conversion leaves the\n"
    "                                                 number range (also: division by zero,\n"
    "                                                 invalid floating point operation)\n"
    "\n"
    "Exit status: 0 when every file was converted to its end, 1 after one of the\n"
    "problems above or a failed write, 2 for a bad command line.\n";

static bool ParseJobs(std::string_view text, unsigned& jobs)
{
    unsigned value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || ptr != last || value < 1 || value > kMaximumJobs)
        return false;
    jobs = value;
    return true;
}

std::optional<std::string> ParseConvertOptions(const std::vector<std::string>& arguments,
                                               ConvertOptions& options)
{
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.size() < 2 || argument[0] != '-') {
            options.files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }

        // "--name=value" or "--name value" for the two options that take a value.
        std::string name = argument;
        std::optional<std::string> value;
        if (const std::size_t equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        const bool takesValue = name == "--ellipsoid" || name == "--jobs";
        if (takesValue && !value) {
            if (i + 1 == arguments.size())
                return "option '" + name + "' needs a value";
            value = arguments[++i];
        } else if (!takesValue && value) {
            return "option '" + name + "' takes no value";
        }

        if (name == "--to-geographic") {
            options.mode = TM2ToGeographic;
        } else if (name == "--to-tm2") {
            options.mode = GeographicToTM2;
        } else if (name == "--ellipsoid") {
            if (*value == "grs67")
                options.ellipsoidIndex = 0;
            else if (*value == "grs80")
                options.ellipsoidIndex = 1;
            else
                return "unknown ellipsoid '" + *value + "' (grs67 or grs80)";
        } else if (name == "--jobs") {
            if (!ParseJobs(*value, options.jobs))
                return "'" + *value + "' is not a count of jobs from 1 to " + std::to_string(kMaximumJobs);
        } else if (name == "--help") {
            help = true;
        } else if (name == "--version") {
            version = true;
        } else {
            return "unknown option '" + argument + "'";
        }
    }
    if (help)
        options.action = ConvertOptions::Action::Help;
    else if (version)
        options.action = ConvertOptions::Action::Version;
    return std::nullopt;
}
