#pragma once
// The converter's pipeline: blocks of input lines are converted on worker threads and
// written in input order as soon as every block before them is written, so output
// flows while input still arrives and memory holds only the blocks in flight.
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "convert/crs.h"
#include "convert/map_output.h"
#include "geodesy/ellipsoid.h"
#include "text/conversion.h"

// How the lines of a block are read.
enum class Layout {
    PairLines,         // every line holds one pair "x y" or nothing
    PreparedPairs,     // the reader found the numbers; Block::pairs says where they are
    Records,           // delimited fields, two of them converted
    Prepared,          // Block::output is already the block's text (a header line)
};

struct StreamSettings {
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

// A number the reader found: its bytes in Block::input and its 1-based line.
struct NumberPlace {
    std::size_t begin;
    std::size_t end;
    std::size_t line;
};

// Why a block stopped. With a line, the message is written "FILE:LINE: message";
// without one it is written as it is (it then names the program and the file itself).
struct BlockStop {
    std::optional<std::size_t> line;
    std::string message;
};

struct Block {
    Layout layout = Layout::PairLines;
    StreamSettings settings;
    std::shared_ptr<const std::string> name;  // the file's name in messages
    // Line numbers in the block: with firstLine set, the block's first line has that
    // number; otherwise it continues the block before it (PairLines and Records count
    // their lines as they read them). PreparedPairs blocks carry whole line numbers.
    std::optional<std::size_t> firstLine;
    std::string input;                     // whole lines (the last one of a file may lack its end)
    std::vector<NumberPlace> pairs;        // PreparedPairs: x, y, x, y, ...
    std::optional<BlockStop> readerStop;   // PreparedPairs, Prepared: the reader stopped after them

    // Filled in by the conversion, after the first leadingBytes of output (a byte-order
    // mark), which are written only when something follows them.
    std::size_t leadingBytes = 0;
    std::string output;
    std::size_t linesRead = 0;             // line ends in input
    std::optional<BlockStop> stop;
    bool outOfMemory = false;
    unsigned long long outside = 0;        // points outside Taiwan's area
    std::size_t firstOutsideLine = 0;      // line of the first of them, counted as stop lines are
    std::vector<MapPoint> mapPoints;       // map output: rendered when the block is written
    unsigned long long wrongZone = 0;      // grid results in the other zone than their region's
    std::size_t firstWrongZoneLine = 0;
    unsigned long long latitudeFirst = 0;  // of them, degrees inside Taiwan when swapped

    void Clear();
};

// Converts a block by itself, on the calling thread: fills output, linesRead, stop,
// outOfMemory and the outside count. Lines in stop and firstOutsideLine are counted from
// the block's first line as 1 unless the block carries whole line numbers.
void ConvertBlock(Block& block);

// The batch-file reader's message for a pair it cannot read at `place`: an excerpt of
// up to 20 bytes before the line end (or `end`), unprintable bytes written \xHH.
std::string CannotReadPair(const char* place, const char* end);

// 0 for text that is UTF-8 (NUL aside), 1 when it holds a NUL byte (UTF-16 read as
// bytes), 2 when it is not UTF-8.
int CheckUtf8(std::string_view text);

// A record line with the two texts appended after `separator`, or put in the chosen
// fields' places with settings.replace; without its line end.
void AppendRecord(std::string& out, std::string_view line, const std::vector<struct FieldSpan>& fields,
                  const StreamSettings& settings, std::string_view first, std::string_view second);

// Where the worker threads come from. Tests swap it for one that fails; a thread that
// cannot start (std::system_error, or no memory for it) means one worker fewer.
using ThreadStarter = std::thread (*)(std::function<void()> work);
extern ThreadStarter gStartThread;

// Blocks in flight at most, and worker threads at most: together they bound the memory
// (a block holds up to about kBlockBytes of input and its output).
inline constexpr std::size_t kBlockBytes = 1 << 18;
inline constexpr unsigned kMaximumWorkers = 32;

class LineStream {
public:
    // Starts min(jobs, kMaximumWorkers) workers, or fewer when threads cannot start;
    // with none, every block is converted on the thread that publishes it.
    LineStream(unsigned jobs, std::FILE* out, std::FILE* err);
    // Stops and joins the workers; blocks not written yet are dropped.
    ~LineStream();
    LineStream(const LineStream&) = delete;
    LineStream& operator=(const LineStream&) = delete;

    unsigned Workers() const { return static_cast<unsigned>(threads_.size()); }

    // A cleared block to fill, or nullptr once the run has stopped. Waits while the
    // blocks in flight are at their limit.
    Block* Acquire();
    // Hands the block acquired last to the workers (or converts it here).
    void Publish();
    // Waits until every published block is written. 0, or 1 when the run stopped
    // (a problem was reported, or a write failed).
    int Finish();
    bool Stopped();

    // Points outside Taiwan's area in the blocks written, and the first one's place.
    unsigned long long Outside() const { return outside_; }
    const std::string& FirstOutside() const { return firstOutside_; }
    // Grid results in the other zone than their region's, and the first one's place.
    unsigned long long WrongZone() const { return wrongZone_; }
    const std::string& FirstWrongZone() const { return firstWrongZone_; }
    // Of those, the points that are degrees inside Taiwan's area with x and y swapped.
    unsigned long long LatitudeFirst() const { return latitudeFirst_; }

private:
    void Work();
    void Flush(std::unique_lock<std::mutex>& lock);
    bool Write(Block& block);

    std::FILE* out_;
    std::FILE* err_;
    std::vector<std::unique_ptr<Block>> ring_;
    std::vector<bool> done_;
    std::size_t head_ = 0;   // the next block to write
    std::size_t claim_ = 0;  // the next block to convert
    std::size_t tail_ = 0;   // the next block to publish
    bool acquired_ = false;
    bool flushing_ = false;
    bool stopped_ = false;
    bool shutdown_ = false;
    int status_ = 0;
    std::mutex mutex_;
    std::condition_variable work_;   // a block was published, or shutdown
    std::condition_variable space_;  // a block was written, or the run stopped
    std::vector<std::thread> threads_;

    // Touched by the flushing thread only.
    std::shared_ptr<const std::string> lineFile_;
    std::size_t nextLine_ = 1;
    unsigned long long outside_ = 0;
    unsigned long long latitudeFirst_ = 0;
    std::string firstOutside_;
    unsigned long long wrongZone_ = 0;
    std::string firstWrongZone_;
};
