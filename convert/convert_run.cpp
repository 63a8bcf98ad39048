// The reading thread: it reads each file in blocks of whole lines and hands them to the
// line stream. It reads with read(), which returns what a pipe holds instead of waiting
// for a full buffer, so a line that arrives is converted and written at once.
#include "convert_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "crs_run.h"
#include "line_stream.h"
#include "messages.h"
#include "text/batch_reader.h"
#include "text/record_fields.h"
#include "text/table_value.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

static const char* const kProgram = "kartovel-convert";

namespace {

// The size of a regular file, in 64 bits on every system; false for anything else.
bool RegularFileSize(int fd, unsigned long long& size)
{
#ifdef _WIN32
    struct _stat64 status;
    if (_fstat64(fd, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) return false;
#else
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return false;
#endif
    size = static_cast<unsigned long long>(status.st_size);
    return true;
}

// One input file or standard input, read in the order of its bytes.
class Input {
public:
    ~Input()
    {
#ifdef _WIN32
        if (fd_ > 0) _close(fd_);
#else
        if (fd_ > 0) close(fd_);
#endif
    }

    bool Open(const std::string& path, std::string& reason)
    {
        if (path == "-") {
            fd_ = 0;
        } else {
#ifdef _WIN32
            fd_ = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
            fd_ = open(path.c_str(), O_RDONLY | O_BINARY);
#endif
            if (fd_ < 0) {
                reason = std::strerror(errno);
                return false;
            }
        }
        unsigned long long size = 0;
        if (RegularFileSize(fd_, size)) {
            regular_ = true;
            size_ = size;
            // Standard input may be a file read before (given as "-" twice) or left
            // part read by the program that started this one.
#ifdef _WIN32
            const long long offset = _lseeki64(fd_, 0, SEEK_CUR);
#else
            const long long offset = lseek(fd_, 0, SEEK_CUR);
#endif
            start_ = offset > 0 ? static_cast<unsigned long long>(offset) : 0;
        }
        return true;
    }

    // Appends what the file holds next, up to kBlockBytes, to `buffer`; at the end, or at
    // a Ctrl-Z, sets Ended(). False with the reason when reading fails.
    bool ReadMore(std::string& buffer, std::string& reason)
    {
        if (ended_) return true;
        const std::size_t old = buffer.size();
        buffer.resize(old + kBlockBytes);
        long count;
        do {
#ifdef _WIN32
            count = _read(fd_, buffer.data() + old, static_cast<unsigned>(kBlockBytes));
#else
            count = static_cast<long>(read(fd_, buffer.data() + old, kBlockBytes));
#endif
        } while (count < 0 && errno == EINTR);
        if (count < 0) {
            reason = std::strerror(errno);
            buffer.resize(old);
            return false;
        }
        buffer.resize(old + static_cast<std::size_t>(count));
        total_ += static_cast<unsigned long long>(count);
        if (count == 0) ended_ = true;
        // A Ctrl-Z ends the file: nothing after it is looked at.
        if (const void* ctrlZ = std::memchr(buffer.data() + old, 26, static_cast<std::size_t>(count))) {
            buffer.resize(static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - buffer.data()));
            ended_ = true;
            ctrlZ_ = true;
        }
        return true;
    }

    bool Ended() const { return ended_; }

    // For a regular file read to its end: its size now, when that differs from its size
    // when opened or from the bytes read; 0 and false otherwise.
    bool SizeChanged(unsigned long long& now) const
    {
        if (!regular_ || ctrlZ_) return false;
        if (!RegularFileSize(fd_, now)) now = start_ + total_;
        if (now == size_ && start_ + total_ == size_) return false;
        if (now == size_) now = start_ + total_;  // grew and shrank back: report what was read
        return true;
    }
    unsigned long long SizeWhenOpened() const { return size_; }

private:
    int fd_ = -1;
    bool regular_ = false;
    bool ended_ = false;
    bool ctrlZ_ = false;
    unsigned long long size_ = 0;
    unsigned long long start_ = 0;
    unsigned long long total_ = 0;
};

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// The length of the whole lines at the start of `bytes`: up to the last LF, or the last
// CR whose next byte is there (a CR at the very end may be the first half of a CR LF).
std::size_t WholeLines(std::string_view bytes)
{
    for (std::size_t i = bytes.size(); i-- > 0;) {
        if (bytes[i] == '\n') return i + 1;
        if (bytes[i] == '\r' && i + 1 < bytes.size()) return i + 1;
    }
    return 0;
}

// The bytes of the first line that is not blank, and where it ends (after its line end),
// or npos when the buffer does not hold it whole yet. `lineNumber` is its line.
struct FirstLine {
    std::size_t begin = std::string::npos;
    std::size_t end = 0;       // of its text
    std::size_t next = 0;      // after its line end
    std::size_t lineNumber = 1;
};

FirstLine FindFirstLine(std::string_view bytes, bool ended)
{
    FirstLine first;
    std::size_t p = 0;
    for (;;) {
        std::size_t e = p;
        while (e < bytes.size() && !IsLineEnd(bytes[e])) ++e;
        if (e == bytes.size() && !ended) return {};
        // The line end is whole only when a CR's next byte is known.
        if (e < bytes.size() && bytes[e] == '\r' && e + 1 == bytes.size() && !ended) return {};
        std::size_t next = e;
        if (next < bytes.size()) next += (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') ? 2 : 1;
        const std::string_view text = bytes.substr(p, e - p);
        if (text.find_first_not_of(" \t\v\f") != std::string_view::npos) {
            first.begin = p;
            first.end = e;
            first.next = next;
            return first;
        }
        if (next == bytes.size()) return {};  // nothing but blank lines so far
        p = next;
        ++first.lineNumber;
    }
}

class FileConverter {
public:
    // `firstFile`: this file's output starts the run's output. `map`: the writer of a map
    // format, or nullptr for lines.
    FileConverter(const ConvertOptions& options, LineStream& stream, const std::string& path, bool firstFile,
                  MapWriter* map = nullptr)
        : options_(options), stream_(stream), name_(std::make_shared<const std::string>(path == "-" ? "<stdin>" : path)),
          firstFile_(firstFile)
    {
        settings_.mode = options.mode;
        settings_.ellipsoid = &kEllipsoids[options.ellipsoidIndex];
        settings_.replace = options.replace;
        settings_.decimalComma = options.decimalComma;
        SetNamedSystems(options, map, settings_);
    }

    // False when the run stops here (the block with the message is published).
    bool Run(const std::string& path)
    {
        std::string reason;
        if (!input_.Open(path, reason))
            return Stop(std::nullopt, std::string(kProgram) + ": " + *name_ + ": " + reason);
        // A leading byte-order mark is not part of the first line's text.
        while (buffer_.size() < 3 && !input_.Ended() && std::string_view("\xEF\xBB\xBF").starts_with(buffer_))
            if (!Read()) return false;
        const std::size_t byteOrderMark = Utf8ByteOrderMarkLength(buffer_);
        buffer_.erase(0, byteOrderMark);
        // A spreadsheet opened by double-click takes a CSV file without the mark for the
        // local code page and garbles its Chinese; the output keeps the mark it came with.
        // Only at the very start: inside the output it would be a stray character.
        if (options_.records && firstFile_ && byteOrderMark != 0 && !settings_.map) lead_ = "\xEF\xBB\xBF";

        if (options_.records) return Records();
        if (options_.pairsAcrossLines) return NumberStream(false);
        // The first line that holds anything tells one number a line from pairs.
        FirstLine first;
        while ((first = FindFirstLine(buffer_, input_.Ended())).begin == std::string::npos && !input_.Ended())
            if (!Read()) return false;
        if (first.begin != std::string::npos && NumbersOn(std::string_view(buffer_).substr(first.begin, first.end - first.begin)) == 1)
            return NumberStream(true);
        return Lines(Layout::PairLines, 1);
    }

private:
    bool Read()
    {
        std::string reason;
        if (input_.ReadMore(buffer_, reason)) return true;
        return Stop(std::nullopt, std::string(kProgram) + ": " + *name_ + ": " + reason);
    }

    // Publishes a block that only reports.
    bool Stop(std::optional<std::size_t> line, std::string message)
    {
        if (Block* block = stream_.Acquire()) {
            block->layout = Layout::Prepared;
            block->name = name_;
            block->firstLine = line ? std::optional<std::size_t>(1) : std::nullopt;
            block->readerStop = BlockStop{line, std::move(message)};
            stream_.Publish();
        }
        return false;
    }

    // At the end of the file: a regular file must have kept its size. The report when it
    // did not, else empty.
    std::string SizeChange()
    {
        unsigned long long now = 0;
        if (!input_.SizeChanged(now)) return "";
        return std::string(kProgram) + ": " + *name_ + ": " + SizeChangedMessage(input_.SizeWhenOpened(), now);
    }

    bool CheckSize()
    {
        const std::string resized = SizeChange();
        return resized.empty() || Stop(std::nullopt, resized);
    }

    static std::size_t NumbersOn(std::string_view line)
    {
        std::size_t count = 0;
        const char* p = line.data();
        const char* end = p + line.size();
        for (;;) {
            while (p != end && (*p == ' ' || *p == '\t' || *p == '\v' || *p == '\f')) ++p;
            if (p == end) return count;
            const char* e = ScanBatchNumber(p, end);
            if (e == p) return count + 2;  // not a number: left to the line reader
            ++count;
            p = e;
        }
    }

    // Whole lines go to the workers as they arrive; the block's first line is `line`.
    bool Lines(Layout layout, std::size_t line)
    {
        bool first = true;
        // What the buffer holds already goes out before waiting for more.
        for (bool fresh = !buffer_.empty();; fresh = false) {
            if (!fresh && !input_.Ended() && !Read()) return false;
            // A file that changed size still gives the whole lines read, then the report.
            const bool ended = input_.Ended();
            std::string resized;
            if (ended) resized = SizeChange();
            const std::size_t cut = ended && resized.empty() ? buffer_.size() : WholeLines(buffer_);
            if (cut > 0 || (ended && first && resized.empty())) {
                Block* block = stream_.Acquire();
                if (block == nullptr) return false;
                block->layout = layout;
                block->settings = settings_;
                block->name = name_;
                if (first) {
                    block->firstLine = line;
                    block->output = std::move(lead_);
                    block->leadingBytes = block->output.size();
                    lead_.clear();
                }
                first = false;
                block->input.assign(buffer_, 0, cut);
                buffer_.erase(0, cut);
                stream_.Publish();
            }
            if (!resized.empty()) return Stop(std::nullopt, resized);
            if (ended) return !stream_.Stopped();
        }
    }

    // Numbers two by two wherever lines end (or, with onePerLine, one on each line that
    // is not blank): the reader finds them, the workers convert them.
    bool NumberStream(bool onePerLine)
    {
        std::size_t line = 1;          // the line at `scan`
        std::size_t scan = 0;          // where reading goes on in buffer_
        std::size_t onLine = 0;        // numbers on the current line so far
        bool pendingX = false;         // a pair's first number was read
        NumberPlace x{};
        std::vector<NumberPlace> pairs;
        std::optional<BlockStop> stop;
        for (bool fresh = !buffer_.empty();; fresh = false) {
            if (!fresh && !input_.Ended() && !Read()) return false;
            const bool ended = input_.Ended();
            if (ended && !CheckSize()) return false;
            // Numbers end at blanks, so everything before the last blank can be read now;
            // a CR at the very end may still be followed by its LF.
            std::size_t limit = buffer_.size();
            if (!ended) {
                while (limit > 0 && !std::strchr(" \t\n\v\f\r", buffer_[limit - 1])) --limit;
                if (limit > 0 && buffer_[limit - 1] == '\r' && limit == buffer_.size()) --limit;
            }
            const char* base = buffer_.data();
            const char* p = base + scan;
            const char* end = base + limit;
            while (!stop) {
                // Blanks, counting lines.
                while (p != end) {
                    const char c = *p;
                    if (c == '\n' || (c == '\r' && (p + 1 == base + buffer_.size() ? ended : p[1] != '\n'))) {
                        ++line;
                        onLine = 0;
                    } else if (c != ' ' && c != '\t' && c != '\v' && c != '\f' && c != '\r') {
                        break;
                    }
                    ++p;
                }
                if (p == end) break;
                const char* e = ScanBatchNumber(p, end);
                if (e == p) {
                    const char* place = pendingX ? base + x.begin : p;
                    stop = BlockStop{pendingX ? x.line : line, CannotReadPair(place, base + buffer_.size())};
                    break;
                }
                if (onePerLine && ++onLine == 2) {
                    std::size_t count = 2;
                    for (const char* q = e;;) {
                        while (q != end && (*q == ' ' || *q == '\t' || *q == '\v' || *q == '\f')) ++q;
                        const char* f = q == end || IsLineEnd(*q) ? q : ScanBatchNumber(q, end);
                        if (f == q) break;
                        ++count;
                        q = f;
                    }
                    stop = BlockStop{line, LineCountMessage(count, true)};
                    break;
                }
                const NumberPlace number{static_cast<std::size_t>(p - base), static_cast<std::size_t>(e - base), line};
                if (pendingX) {
                    pairs.push_back(x);
                    pairs.push_back(number);
                } else {
                    x = number;
                }
                pendingX = !pendingX;
                p = e;
            }
            if (!stop && ended && pendingX)
                stop = BlockStop{x.line, CannotReadPair(base + x.begin, base + buffer_.size())};
            // The block takes the bytes up to the pending first number (or all read).
            const std::size_t cut = stop || ended ? buffer_.size() : pendingX ? x.begin : static_cast<std::size_t>(p - base);
            if (!pairs.empty() || stop) {
                Block* block = stream_.Acquire();
                if (block == nullptr) return false;
                block->layout = Layout::PreparedPairs;
                block->settings = settings_;
                block->name = name_;
                block->input.assign(buffer_, 0, cut);
                block->pairs.swap(pairs);
                block->readerStop = std::move(stop);
                stream_.Publish();
                pairs.clear();
                if (block->readerStop || stop) return false;
                buffer_.erase(0, cut);
                if (pendingX) x.begin -= cut, x.end -= cut;
                scan = static_cast<std::size_t>(p - base) - cut;
            } else {
                scan = static_cast<std::size_t>(p - base);
            }
            if (ended) return !stream_.Stopped();
        }
    }

    // The first line that is not blank decides the delimiter and the fields, and is a
    // header when a chosen field is not a number.
    bool Records()
    {
        if (buffer_.starts_with("\xFF\xFE") || buffer_.starts_with("\xFE\xFF"))
            return Stop(1, Utf16Message());
        FirstLine first;
        while ((first = FindFirstLine(buffer_, input_.Ended())).begin == std::string::npos && !input_.Ended())
            if (!Read()) return false;
        if (first.begin == std::string::npos)
            return Lines(Layout::Records, 1);  // blank lines only
        const std::string_view text = std::string_view(buffer_).substr(first.begin, first.end - first.begin);
        if (const int check = CheckUtf8(text))
            return Stop(first.lineNumber, check == 1 ? Utf16Message() : NotUtf8Message());
        settings_.delimiter = options_.delimiter ? *options_.delimiter : DetectDelimiter(text, options_.decimalComma);
        if (options_.decimalComma && settings_.delimiter == ',')
            return Stop(first.lineNumber, CommaSeparatedDecimalCommaMessage());
        std::vector<FieldSpan> fields;
        std::size_t problem = 0;
        if (!SplitFields(text, settings_.delimiter, fields, problem))
            return Stop(first.lineNumber, QuoteMessage(problem + 1));
        std::vector<std::string> names;
        for (const FieldSpan& field : fields) names.push_back(Trimmed(FieldValue(text, field)));

        bool header = false;
        std::size_t* indices[2] = {&settings_.xField, &settings_.yField};
        for (int k = 0; k < 2; ++k) {
            const std::string& column = options_.columns[k];
            if (column.find_first_not_of("0123456789") == std::string::npos) {
                *indices[k] = std::stoul(column) - 1;
                continue;
            }
            const auto found = std::find_if(names.begin(), names.end(),
                                            [&](const std::string& name) { return SameName(name, column); });
            if (found == names.end()) return Stop(first.lineNumber, ColumnNotFoundMessage(column));
            *indices[k] = static_cast<std::size_t>(found - names.begin());
            header = true;
        }
        if (settings_.xField == settings_.yField)
            return Stop(first.lineNumber, FieldMissingMessage(settings_.yField + 1, fields.size()));
        std::optional<std::size_t> nameField;
        if (options_.nameField && !FindNameField(*options_.nameField, names, nameField, header))
            return Stop(first.lineNumber, ColumnNotFoundMessage(*options_.nameField));
        // A number written with a decimal comma is data too, with or without
        // --decimal-comma: taken as a header it would hide the first point. So is an
        // angle in degrees, minutes and seconds where the input is geographic.
        std::string scratch;
        for (std::size_t index : {settings_.xField, settings_.yField})
            if (index < fields.size() && !IsNumber(names[index]) && !DecimalCommaNumber(names[index], scratch) &&
                !LooksLikeAngle(settings_, names[index], index == settings_.xField))
                header = true;
        SetMapFields(settings_, header ? names : std::vector<std::string>(), nameField);
        if (!header) return Lines(Layout::Records, 1);

        // The header, and any blank lines before it, go out first.
        Block* block = stream_.Acquire();
        if (block == nullptr) return false;
        block->layout = Layout::Prepared;
        block->name = name_;
        if (!settings_.map) block->output.assign(buffer_, 0, first.begin);
        if (std::max(settings_.xField, settings_.yField) >= fields.size()) {
            block->readerStop = BlockStop{first.lineNumber, FieldMissingMessage(std::max(settings_.xField, settings_.yField) + 1, fields.size())};
            block->firstLine = 1;
            stream_.Publish();
            return false;
        }
        block->output.insert(0, lead_);
        lead_.clear();
        const bool toGeographic = settings_.to ? InfoOf(*settings_.to).geographic : settings_.mode == TM2ToGeographic;
        const std::string_view ending(buffer_.data() + first.end, first.next - first.end);
        if (!settings_.map) {
            AppendRecord(block->output, text, fields, settings_, toGeographic ? "longitude" : "easting",
                         toGeographic ? "latitude" : "northing");
            block->output += ending.empty() ? std::string_view("\n") : ending;
        }
        stream_.Publish();
        const std::size_t nextLine = first.lineNumber + 1;
        buffer_.erase(0, first.next);
        return Lines(Layout::Records, nextLine);
    }

    static std::string Trimmed(const std::string& text)
    {
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos) return "";
        return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    }

    static bool SameName(const std::string& a, const std::string& b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
                   return lower(x) == lower(y);
               });
    }

    static bool IsNumber(const std::string& text)
    {
        const char* p = text.data();
        const char* end = p + text.size();
        return p != end && ScanBatchNumber(p, end) == end;
    }

    const ConvertOptions& options_;
    LineStream& stream_;
    std::shared_ptr<const std::string> name_;
    StreamSettings settings_;
    Input input_;
    std::string buffer_;  // read, not yet handed to a block
    const bool firstFile_;
    std::string lead_;  // records: the byte-order mark the output starts with, or nothing
};

}  // namespace

int ConvertInputs(const ConvertOptions& options, unsigned jobs, std::FILE* out, std::FILE* err)
{
    int status = 0;
    unsigned long long outside = 0, latitudeFirst = 0;
    std::string firstOutside;
    unsigned long long wrongZone = 0;
    std::string firstWrongZone;
    {
        LineStream stream(jobs, out, err);
        MapWriter map(options.outputFormat);
        MapWriter* writer = options.outputFormat == OutputFormat::Csv ? nullptr : &map;
        if (writer) std::fputs(map.Header().c_str(), out);
        for (const std::string& path : options.files) {
            FileConverter converter(options, stream, path, &path == &options.files.front(), writer);
            if (!converter.Run(path)) break;
        }
        status = stream.Finish();
        // Closed also after a stop: what was written still parses.
        if (writer) std::fputs(map.Footer().c_str(), out);
        wrongZone = stream.WrongZone();
        firstWrongZone = stream.FirstWrongZone();
        outside = stream.Outside();
        firstOutside = stream.FirstOutside();
        latitudeFirst = stream.LatitudeFirst();
    }
    // After a stop the message about it is the last word.
    if (outside != 0 && !options.quiet && status == 0) {
        std::fflush(out);
        std::fputs((options.from ? CrsAreaWarning(outside, firstOutside, *options.from)
                                 : AreaWarning(outside, firstOutside, options.mode == TM2ToGeographic,
                                               latitudeFirst == outside))
                       .c_str(),
                   err);
    }
    if (wrongZone != 0 && !options.quiet && status == 0) {
        std::fflush(out);
        std::fputs(ZoneNotice(wrongZone, firstWrongZone, *options.to).c_str(), err);
    }
    return status;
}
