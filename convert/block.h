#pragma once
// A block: whole lines of one input file on their way through the converter, what the
// reader found in them, and, once converted, their output.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "convert/crs.h"
#include "convert/map_output.h"
#include "geodesy/ellipsoid.h"
#include "text/conversion.h"

// How the numbers of a run are converted and where a record's results go.
struct ConversionSettings {
    ConversionMode mode = TM2ToGeographic;
    const Ellipsoid* ellipsoid = &kGRS67;
    // Records only:
    char delimiter = ',';
    std::size_t xField = 0;  // 0-based
    std::size_t yField = 1;
    bool replace = false;    // the values take the chosen fields' places instead of being appended
    bool decimalComma = false;  // numbers in and out with a decimal comma
    // Named coordinate systems (--from/--to): when set, they are used instead of mode and
    // ellipsoid (mode then says what the input is, for the area warning).
    std::optional<Crs> from;
    std::optional<Crs> to;
    bool fullPrecision = false;
    // Map output: the writer, used by the writing thread only, and the file's fields.
    MapWriter* map = nullptr;
    std::shared_ptr<const MapFields> mapFields;
};

// Why a block stops the run. With a line (counted from 1 at the file's start), the
// message is written "FILE:LINE: message"; without one it is written as it is (it then
// names the program and the file itself).
struct BlockStop {
    std::optional<std::size_t> line;
    std::string message;
    int status = 1;  // the exit status: 2 for a fault of the command line found in a file
};

// The exit status of a command line that cannot be followed.
inline constexpr int kBadCommandLineStatus = 2;

// A number the reader found: its bytes in Block::input and its line in the file.
struct NumberPlace {
    std::size_t begin;
    std::size_t end;
    std::size_t line;
};

// What the reader hands over, by the mode it reads:
// every line holds one pair "x y" or nothing;
struct PairLines {};
// the reader found the numbers (x, y, x, y, ...), wherever the lines end; it stopped after
// them when `stop` is set;
struct FoundPairs {
    std::vector<NumberPlace> numbers;
    std::optional<BlockStop> stop;
};
// delimited fields, two of them converted;
struct RecordLines {};
// nothing to convert: `text` goes out as it is (a header line), then `stop` if set.
struct ReadyText {
    std::string text;
    std::optional<BlockStop> stop;
};
using BlockContent = std::variant<PairLines, FoundPairs, RecordLines, ReadyText>;

struct Block {
    BlockContent content;
    ConversionSettings settings;
    std::shared_ptr<const std::string> fileName;  // as messages name it
    std::size_t firstLine = 1;  // the line of input's first byte, counted in the file
    std::string input;          // whole lines (the last one of a file may lack its end)

    // Bytes the output starts with (a byte-order mark), written only when something
    // follows them.
    std::string leading;

    // Filled in by the conversion; lines are the file's.
    std::string output;
    std::optional<BlockStop> stop;
    bool outOfMemory = false;
    unsigned long long outside = 0;  // points outside Taiwan's area
    std::size_t firstOutsideLine = 0;
    unsigned long long latitudeFirst = 0;  // of them, degrees inside Taiwan when swapped
    std::vector<MapPoint> mapPoints;       // map output: rendered when the block is written
    unsigned long long wrongZone = 0;      // grid results in the other zone than their region's
    std::size_t firstWrongZoneLine = 0;

    void Reset() noexcept;
};

// Converts a block by itself, on the calling thread: fills output, stop, outOfMemory and
// the outside count, from scratch each time. Running out of memory clears the output and
// sets outOfMemory.
void ConvertBlock(Block& block) noexcept;
