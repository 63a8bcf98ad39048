#include "line_stream.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <string_view>
#include <system_error>

#include "geodesy/floating_point.h"
#include "geodesy/projection.h"
#include "messages.h"
#include "text/number_text.h"
#include "text/record_fields.h"
#include "text/dms_text.h"
#include "text/table_value.h"
#include "text/taiwan_area.h"

ThreadStarter gStartThread = [](std::function<void()> work) { return std::thread(std::move(work)); };

void Block::Clear()
{
    layout = Layout::PairLines;
    name.reset();
    firstLine.reset();
    input.clear();
    pairs.clear();
    readerStop.reset();
    leadingBytes = 0;
    output.clear();
    linesRead = 0;
    stop.reset();
    outOfMemory = false;
    outside = 0;
    firstOutsideLine = 0;
    mapPoints.clear();
    wrongZone = 0;
    firstWrongZoneLine = 0;
    latitudeFirst = 0;
}

namespace {

// Blanks within a line of a batch file; CR and LF end lines.
bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }



// The two result texts of one point, exactly as the batch page's result line holds them
// (the same calls in the same order as AppendBatchResultLine).
struct PointTexts {
    std::string first;
    std::string second;
};

// Converts the numbers x and y (texts of the batch grammar); on failure sets the stop at
// the line of the number that was refused (the x line for a failed projection).
class PointConverter {
public:
    PointConverter(const StreamSettings& settings, Block& block) : settings_(settings), block_(block) {}

    bool Convert(std::string_view x, std::size_t xLine, std::string_view y, std::size_t yLine, PointTexts& texts)
    {
        Extended a, b;
        return Value(x, xLine, a) && Value(y, yLine, b) && ConvertValues(a, b, xLine, texts);
    }

    // The value of a number text, or the stop at `line`.
    bool Value(std::string_view number, std::size_t line, Extended& value)
    {
        try {
            value = TableValue(number);
            return true;
        } catch (const ParseError& error) {
            block_.stop = BlockStop{line, error.what()};
            return false;
        }
    }

    bool ConvertValues(Extended a, Extended b, std::size_t xLine, PointTexts& texts)
    {
        try {
            if (settings_.from) {
                CrsResult result;
                if (ConvertCrsPoint(*settings_.from, *settings_.to, a, b, result) != PointStep::Converted) {
                    block_.stop = BlockStop{xLine, NoTWD67Message(result.region)};
                    return false;
                }
                FormatResult(InfoOf(*settings_.to).geographic, settings_.fullPrecision || settings_.map, result.x,
                             result.y, texts.first, texts.second);
                if (result.wrongZone && block_.wrongZone++ == 0)
                    block_.firstWrongZoneLine = xLine;
            } else if (settings_.mode == TM2ToGeographic) {
                const Geographic point = TM2ToGeographicPoint(*settings_.ellipsoid, a, b);
                FormatResult(true, settings_.fullPrecision || settings_.map, point.longitude, point.latitude,
                             texts.first, texts.second);
            } else {
                const Extended northing = LonLatToNorthing(*settings_.ellipsoid, a, b);
                const Extended easting = LonLatToEasting(*settings_.ellipsoid, a, b);
                FormatResult(false, settings_.fullPrecision, easting, northing, texts.first, texts.second);
            }
        } catch (const FloatingPointError& error) {
            block_.stop = BlockStop{xLine, error.what()};
            return false;
        }
        if (FitTaiwanArea(settings_.mode, a, b) != AreaFit::Inside) {
            if (block_.outside++ == 0)
                block_.firstOutsideLine = xLine;
            block_.latitudeFirst += FitTaiwanArea(GeographicToTM2, a, b) == AreaFit::InsideWhenSwapped;
        }
        return true;
    }

private:
    const StreamSettings& settings_;
    Block& block_;
};

// The end of the line that starts at p, and where the next one starts.
struct LineSpan {
    const char* end;
    const char* next;
};

LineSpan FindLineEnd(const char* p, const char* end)
{
    while (p != end && *p != '\n' && *p != '\r') ++p;
    if (p == end) return {end, end};
    if (*p == '\r' && p + 1 != end && p[1] == '\n') return {p, p + 2};
    return {p, p + 1};
}

void ConvertPairLines(const StreamSettings& settings, Block& block)
{
    PointConverter converter(settings, block);
    PointTexts texts;
    std::vector<std::string_view> numbers;
    const char* p = block.input.data();
    const char* const end = p + block.input.size();
    // Appends the lines of the pairs numbers[0, 1], [2, 3], ...; false when one failed.
    auto convertPairs = [&](std::size_t line) {
        for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
            if (!converter.Convert(numbers[i], line, numbers[i + 1], line, texts))
                return false;
            if (settings.map) {
                block.mapPoints.push_back({line, texts.first, texts.second, {}});
                continue;
            }
            block.output += texts.first;
            block.output += ' ';
            block.output += texts.second;
            block.output += '\n';
        }
        return true;
    };
    for (std::size_t line = 1; p != end; ++line) {
        const LineSpan span = FindLineEnd(p, end);
        numbers.clear();
        const char* q = p;
        for (;;) {
            while (q != span.end && IsLineBlank(*q)) ++q;
            if (q == span.end) break;
            const char* numberEnd = ScanBatchNumber(q, span.end);
            if (numberEnd == q) {
                // Text that is not a number stops reading as it stops the batch-file
                // reader: the pairs before it are converted, and the message shows the
                // pair that could not be read.
                const char* place = numbers.size() % 2 == 1 ? numbers.back().data() : q;
                if (convertPairs(line))
                    block.stop = BlockStop{line, CannotReadPair(place, end)};
                return;
            }
            numbers.emplace_back(q, numberEnd - q);
            q = numberEnd;
        }
        if (numbers.size() == 2) {
            if (!convertPairs(line))
                return;
        } else if (!numbers.empty()) {
            block.stop = BlockStop{line, LineCountMessage(numbers.size(), false)};
            return;
        }
        if (span.next != span.end) ++block.linesRead;
        p = span.next;
    }
}

void ConvertPreparedPairs(const StreamSettings& settings, Block& block)
{
    PointConverter converter(settings, block);
    PointTexts texts;
    const std::string_view input = block.input;
    for (std::size_t i = 0; i + 1 < block.pairs.size(); i += 2) {
        const NumberPlace& x = block.pairs[i];
        const NumberPlace& y = block.pairs[i + 1];
        if (!converter.Convert(input.substr(x.begin, x.end - x.begin), x.line, input.substr(y.begin, y.end - y.begin),
                               y.line, texts))
            return;
        if (settings.map) {
            block.mapPoints.push_back({x.line, texts.first, texts.second, {}});
            continue;
        }
        block.output += texts.first;
        block.output += ' ';
        block.output += texts.second;
        block.output += '\n';
    }
    block.stop = block.readerStop;
}

int CheckUtf8Bytes(const unsigned char* p, const unsigned char* end)
{
    while (p != end) {
        const unsigned char c = *p;
        if (c == 0) return 1;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        unsigned minimum;
        unsigned value;
        if (c >= 0xC2 && c <= 0xDF) more = 1, minimum = 0x80, value = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF) more = 2, minimum = 0x800, value = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4) more = 3, minimum = 0x10000, value = c & 0x07;
        else return 2;
        ++p;
        for (int k = 0; k < more; ++k, ++p) {
            if (p == end || (*p & 0xC0) != 0x80) return 2;
            value = value << 6 | (*p & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 2;
    }
    return 0;
}

bool IsFieldBlank(char c) { return c == ' ' || c == '\t'; }

// A field's value without its quotes and the blanks around it.
std::string TrimmedFieldValue(std::string_view line, const FieldSpan& field)
{
    std::string value = FieldValue(line, field);
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return value.substr(first, value.find_last_not_of(" \t") + 1 - first);
}

// The field as a number of the batch grammar, blanks around it allowed; false when it is
// anything else.
bool FieldNumber(std::string_view value, std::string_view& number)
{
    std::size_t first = 0, last = value.size();
    while (first < last && IsFieldBlank(value[first])) ++first;
    while (last > first && IsFieldBlank(value[last - 1])) --last;
    const char* begin = value.data() + first;
    const char* end = value.data() + last;
    if (begin == end || ScanBatchNumber(begin, end) != end) return false;
    number = std::string_view(begin, last - first);
    return true;
}

// The chosen field `index` (0-based) as a number text of the batch grammar, in `number`
// (which may point into `scratch`); the message when it is not one.
std::optional<std::string> ReadField(const StreamSettings& settings, std::string_view field, std::size_t index,
                                     std::string& scratch, std::string_view& number)
{
    if (settings.decimalComma ? DecimalCommaNumber(field, scratch) : FieldNumber(field, number)) {
        if (settings.decimalComma) number = scratch;
        return std::nullopt;
    }
    const std::string excerpt = Excerpt(field.data(), field.data() + field.size());
    std::string_view other;
    if (settings.decimalComma && FieldNumber(field, other))
        return DecimalPointFieldMessage(index + 1, excerpt);
    if (!settings.decimalComma && DecimalCommaNumber(field, scratch))
        return DecimalCommaFieldMessage(index + 1, excerpt);
    return FieldNotANumberMessage(index + 1, excerpt);
}

void ConvertRecords(const StreamSettings& settings, Block& block)
{
    PointConverter converter(settings, block);
    PointTexts texts;
    std::vector<FieldSpan> fields;
    std::string xValue, yValue, xComma, yComma;
    const char* p = block.input.data();
    const char* const end = p + block.input.size();
    const std::size_t needed = std::max(settings.xField, settings.yField) + 1;
    std::size_t line = 1;
    for (; p != end; ++line) {
        const LineSpan span = FindLineEnd(p, end);
        const std::string_view text(p, span.end - p);
        const std::string_view ending = span.next != span.end ? std::string_view(span.end, span.next - span.end) : "\n";
        if (text.find_first_not_of(" \t") == std::string_view::npos) {
            if (!settings.map) {
                block.output += text;  // a blank line stays as it is
                block.output += ending;
            }
        } else {
            if (const int check = CheckUtf8(text)) {
                block.stop = BlockStop{line, check == 1 ? Utf16Message() : NotUtf8Message()};
                return;
            }
            std::size_t badQuote = 0;
            if (!SplitFields(text, settings.delimiter, fields, badQuote)) {
                block.stop = BlockStop{line, QuoteMessage(badQuote + 1)};
                return;
            }
            if (fields.size() < needed) {
                const std::size_t missing = fields.size() <= settings.xField ? settings.xField : settings.yField;
                block.stop = BlockStop{line, FieldMissingMessage(missing + 1, fields.size())};
                return;
            }
            const FieldSpan& xSpan = fields[settings.xField];
            const FieldSpan& ySpan = fields[settings.yField];
            std::string_view xField = text.substr(xSpan.begin, xSpan.end - xSpan.begin);
            std::string_view yField = text.substr(ySpan.begin, ySpan.end - ySpan.begin);
            if (xSpan.quoted) xField = xValue = FieldValue(text, xSpan);
            if (ySpan.quoted) yField = yValue = FieldValue(text, ySpan);
            // A geographic field may also be degrees, minutes and seconds (--from).
            const bool angles = settings.from && InfoOf(*settings.from).geographic;
            Extended values[2];
            const std::string_view fieldTexts[2] = {xField, yField};
            const std::size_t indices[2] = {settings.xField, settings.yField};
            std::string* const commaScratch[2] = {&xComma, &yComma};
            std::string_view numbers[2];
            for (int k = 0; k < 2; ++k) {
                std::optional<std::string> problem =
                    ReadField(settings, fieldTexts[k], indices[k], *commaScratch[k], numbers[k]);
                if (!problem) continue;
                if (angles) {
                    const DmsProblem dms =
                        ParseDms(fieldTexts[k], k == 0 ? AngleAxis::Longitude : AngleAxis::Latitude, values[k]);
                    if (dms == DmsProblem::None) continue;
                    problem = DmsFieldMessage(indices[k] + 1,
                                              Excerpt(fieldTexts[k].data(), fieldTexts[k].data() + fieldTexts[k].size()),
                                              dms);
                }
                block.stop = BlockStop{line, std::move(*problem)};
                return;
            }
            // Numbers are read once both fields are known to be readable, x first.
            for (int k = 0; k < 2; ++k)
                if (!numbers[k].empty() && !converter.Value(numbers[k], line, values[k])) return;
            if (!converter.ConvertValues(values[0], values[1], line, texts))
                return;
            if (settings.map) {
                // Map formats write JSON and XML numbers: always a decimal point.
                MapPoint& point = block.mapPoints.emplace_back(MapPoint{line, texts.first, texts.second, {}});
                for (const FieldSpan& field : fields) point.fields.push_back(TrimmedFieldValue(text, field));
            } else {
                if (settings.decimalComma) {
                    UseDecimalComma(texts.first);
                    UseDecimalComma(texts.second);
                }
                AppendRecord(block.output, text, fields, settings, texts.first, texts.second);
                block.output += ending;
            }
        }
        if (span.next != span.end) ++block.linesRead;
        p = span.next;
    }
}

}  // namespace

std::string CannotReadPair(const char* place, const char* end)
{
    return "cannot read a pair of numbers at \"" + BatchExcerpt(place, end) + "\"";
}

int CheckUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    // Most lines are ASCII without NUL: one pass the compiler can widen says so.
    unsigned char unusual = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        unusual |= static_cast<unsigned char>((p[i] == 0) | (p[i] >> 7));
    if (unusual == 0) return 0;
    return CheckUtf8Bytes(p, p + text.size());
}

void AppendRecord(std::string& out, std::string_view text, const std::vector<FieldSpan>& fields,
                  const StreamSettings& settings, std::string_view first, std::string_view second)
{
    if (!settings.replace) {
        const char separator = settings.delimiter == kBlanksDelimiter ? ' ' : settings.delimiter;
        out += text;
        out += separator;
        out += first;
        out += separator;
        out += second;
        return;
    }
    // The two fields in the order they stand on the line.
    const FieldSpan& xSpan = fields[settings.xField];
    const FieldSpan& ySpan = fields[settings.yField];
    const bool xFirst = xSpan.begin < ySpan.begin;
    const FieldSpan& a = xFirst ? xSpan : ySpan;
    const FieldSpan& b = xFirst ? ySpan : xSpan;
    out += text.substr(0, a.begin);
    out += xFirst ? first : second;
    out += text.substr(a.end, b.begin - a.end);
    out += xFirst ? second : first;
    out += text.substr(b.end);
}

void ConvertBlock(Block& block)
{
    const StreamSettings& settings = block.settings;
    // The same environment for every block, whichever thread converts it.
    ResetFloatingPointEnvironment();
    try {
        switch (block.layout) {
        case Layout::PairLines:
            // Room for the typical line ("120.97388 23.97564\n" for "247342.50 2652335.00\n").
            block.output.reserve(block.input.size() + block.input.size() / 4);
            ConvertPairLines(settings, block);
            break;
        case Layout::PreparedPairs:
            block.output.reserve(block.pairs.size() * 12);
            ConvertPreparedPairs(settings, block);
            break;
        case Layout::Records:
            block.output.reserve(block.input.size() * 2);
            ConvertRecords(settings, block);
            break;
        case Layout::Prepared:
            block.stop = block.readerStop;
            break;
        }
    } catch (const std::bad_alloc&) {
        block.output.clear();
        block.outOfMemory = true;
    }
}

LineStream::LineStream(unsigned jobs, std::FILE* out, std::FILE* err)
    : out_(out), err_(err)
{
    const unsigned workers = std::min(std::max(jobs, 1u), kMaximumWorkers);
    // Two blocks a worker: one being converted, one waiting; and the reader's.
    const std::size_t capacity = 2 * workers + 2;
    for (std::size_t i = 0; i < capacity; ++i)
        ring_.push_back(std::make_unique<Block>());
    done_.assign(capacity, false);
    // One worker is as fast as the reading thread converting itself, and without a
    // worker an open pipe still gets its lines as they come.
    if (workers > 1) {
        for (unsigned t = 0; t < workers; ++t) {
            try {
                threads_.push_back(gStartThread([this] { Work(); }));
            } catch (const std::system_error&) {
                break;  // the threads that started are enough
            } catch (const std::bad_alloc&) {
                break;
            }
        }
    }
}

LineStream::~LineStream()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shutdown_ = true;
        stopped_ = true;
    }
    work_.notify_all();
    space_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

Block* LineStream::Acquire()
{
    std::unique_lock<std::mutex> lock(mutex_);
    space_.wait(lock, [this] { return stopped_ || tail_ - head_ < ring_.size(); });
    if (stopped_) return nullptr;
    Block* block = ring_[tail_ % ring_.size()].get();
    block->Clear();
    acquired_ = true;
    return block;
}

void LineStream::Publish()
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!acquired_) return;
    acquired_ = false;
    const std::size_t index = tail_++;
    if (threads_.empty()) {
        // Converted here: claim it as a worker would.
        claim_ = tail_;
        Block& block = *ring_[index % ring_.size()];
        lock.unlock();
        if (!stopped_) ConvertBlock(block);
        lock.lock();
        done_[index % ring_.size()] = true;
        Flush(lock);
        return;
    }
    work_.notify_one();
}

void LineStream::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return shutdown_ || claim_ < tail_; });
        if (shutdown_) return;
        const std::size_t index = claim_++;
        Block& block = *ring_[index % ring_.size()];
        const bool skip = stopped_;
        lock.unlock();
        if (!skip) ConvertBlock(block);
        lock.lock();
        done_[index % ring_.size()] = true;
        Flush(lock);
    }
}

// Writes every converted block at the head, in order. One thread flushes at a time; a
// block finished meanwhile is seen when the flushing thread looks again.
void LineStream::Flush(std::unique_lock<std::mutex>& lock)
{
    if (flushing_) return;
    flushing_ = true;
    bool wrote = false;
    while (head_ < tail_ && head_ < claim_ && done_[head_ % ring_.size()]) {
        Block& block = *ring_[head_ % ring_.size()];
        const bool skip = stopped_;
        lock.unlock();
        bool ok = true;
        if (!skip) {
            try {
                ok = Write(block);
            } catch (const std::bad_alloc&) {
                std::fflush(out_);
                std::fputs(OutOfMemoryMessage(), err_);
                ok = false;
            }
            wrote = true;
        }
        lock.lock();
        done_[head_ % ring_.size()] = false;
        ++head_;
        if (!ok) {
            stopped_ = true;
            status_ = 1;
        }
        space_.notify_all();
    }
    flushing_ = false;
    space_.notify_all();
    if (wrote && !stopped_) {
        // Lines go out as their blocks are done, not when a buffer fills.
        lock.unlock();
        const bool flushed = std::fflush(out_) == 0;
        const int reason = errno;
        lock.lock();
        if (!flushed && !stopped_) {
            std::fputs(WriteFailedMessage(std::strerror(reason)).c_str(), err_);
            stopped_ = true;
            status_ = 1;
            space_.notify_all();
        }
    }
}

// Writes a block's lines and, when it stopped, its message; false when the run ends here.
bool LineStream::Write(Block& block)
{
    if (block.firstLine) {
        nextLine_ = *block.firstLine;
        lineFile_ = block.name;
    }
    const bool wholeLines = block.layout == Layout::PreparedPairs;
    const std::size_t base = wholeLines ? 0 : nextLine_ - 1;
    nextLine_ += block.linesRead;
    if (block.settings.map) {
        static const MapFields kPairs;
        for (const MapPoint& point : block.mapPoints)
            block.settings.map->AppendPoint(block.output, point, base + point.line,
                                            block.settings.mapFields ? *block.settings.mapFields : kPairs);
    }
    if (block.wrongZone != 0 && wrongZone_ == 0 && block.name)
        firstWrongZone_ = *block.name + ":" + std::to_string(base + block.firstWrongZoneLine);
    wrongZone_ += block.wrongZone;
    if (block.output.size() > block.leadingBytes &&
        std::fwrite(block.output.data(), 1, block.output.size(), out_) != block.output.size()) {
        std::fputs(WriteFailedMessage(std::strerror(errno)).c_str(), err_);
        return false;
    }
    if (block.outside != 0 && outside_ == 0 && block.name)
        firstOutside_ = *block.name + ":" + std::to_string(base + block.firstOutsideLine);
    outside_ += block.outside;
    latitudeFirst_ += block.latitudeFirst;
    if (block.outOfMemory) {
        std::fflush(out_);
        std::fputs(OutOfMemoryMessage(), err_);
        return false;
    }
    if (block.stop) {
        // Lines already written go out before the message about what follows them.
        std::fflush(out_);
        std::string message;
        if (block.stop->line)
            message = (block.name ? *block.name : std::string("-")) + ":" + std::to_string(base + *block.stop->line) +
                      ": " + block.stop->message + "\n";
        else
            message = block.stop->message + "\n";
        std::fputs(message.c_str(), err_);
        return false;
    }
    return true;
}

int LineStream::Finish()
{
    std::unique_lock<std::mutex> lock(mutex_);
    space_.wait(lock, [this] { return !flushing_ && (stopped_ || head_ == tail_); });
    if (stopped_) {
        // Blocks converted meanwhile are not written; wait until no thread writes.
        status_ = 1;
    }
    return status_;
}

bool LineStream::Stopped()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return stopped_;
}
