#include "convert/file_reading.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "convert/crs_run.h"
#include "convert/messages.h"
#include "text/batch_file.h"
#include "text/batch_reader.h"
#include "text/record_fields.h"

static const char* const kProgram = "kartovel-convert";

FileReading::FileReading(const ConvertOptions& runOptions, BlockPipeline& runPipeline, const std::string& path,
                         bool isFirstFile, MapWriter* map)
    : options(runOptions), pipeline(runPipeline), firstFile(isFirstFile),
      // Messages name the file; a name may hold what a terminal would act on.
      name_(std::make_shared<const std::string>(path == "-" ? "<stdin>" : TerminalSafeText(path)))
{
    settings.mode = options.mode;
    settings.ellipsoid = &kEllipsoids[options.ellipsoidIndex];
    settings.replace = options.replace;
    settings.decimalComma = options.decimalComma;
    SetNamedSystems(options, map, settings);
}

bool FileReading::Read()
{
    std::string reason;
    // The line being read never grows much past the limit: a byte beyond it is enough to
    // know it is too long (and one more, a CR that may be half of a CR LF).
    const std::size_t open = scanned_ - lineStart_;
    const std::size_t room = open <= kLineLimitBytes ? kLineLimitBytes - open + 2 : 1;
    if (!input.ReadMore(buffer, reason, std::min(kBlockBytes, room)))
        return Stop(std::nullopt, std::string(kProgram) + ": " + *name_ + ": " + reason);
    ScanLineEnds();
    return true;
}

void FileReading::ScanLineEnds()
{
    // A CR at the end waits for the next byte: it may be the first half of a CR LF. So
    // every CR looked at here has its next byte, and a line end is counted once.
    // Stops at the first line longer than the limit, which ends the run.
    if (LineTooLong()) return;
    std::size_t end = buffer.size();
    if (!input.Ended() && end > 0 && buffer[end - 1] == '\r') --end;
    const char* const base = buffer.data();
    const char* const stop = base + end;
    // Most bytes are neither LF nor CR: memchr finds the next of each, so the bytes between
    // line ends are passed over at its speed, and the ends are taken in file order.
    const auto next = [stop](const char* from, char c) {
        const void* found = from < stop ? std::memchr(from, c, static_cast<std::size_t>(stop - from)) : nullptr;
        return found ? static_cast<const char*>(found) : stop;
    };
    const char* const from = base + (scanned_ - dropped_);
    const char* lf = next(from, '\n');
    const char* cr = next(from, '\r');
    for (const char* q = std::min(lf, cr); q != stop; q = std::min(lf, cr)) {
        const std::size_t i = static_cast<std::size_t>(q - base);
        const char c = *q;
        if (c == '\n')
            lf = next(q + 1, '\n');
        else
            cr = next(q + 1, '\r');
        if (c == '\n' || i + 1 == buffer.size() || base[i + 1] != '\n') {
            const std::size_t lineEnd = dropped_ + i - (c == '\n' && i > 0 && base[i - 1] == '\r' ? 1 : 0);
            if (lineEnd - lineStart_ > kLineLimitBytes) {
                scanned_ = lineEnd;
                return;
            }
            ++lineEnds_;
            lineStart_ = dropped_ + i + 1;
        }
    }
    scanned_ = dropped_ + end;
}

void FileReading::Drop(std::size_t count)
{
    buffer.erase(0, count);
    dropped_ += count;
}

std::string FileReading::NulMessageAtEnd() const
{
    // The NUL ended the buffer, so the bytes after the whole lines are its line before it.
    const std::string_view before = std::string_view(buffer).substr(WholeLinesEnd());
    if (!options.records) return NulByteMessage(0);
    const char delimiter = delimiterKnown ? settings.delimiter
                           : options.delimiter ? *options.delimiter : DetectDelimiter(before, options.decimalComma);
    return NulByteMessage(FieldAtEnd(before, delimiter));
}

bool FileReading::StopAtBadLine(const BlockContent& content)
{
    const bool tooLong = LineTooLong();
    if (!tooLong && !input.EndedAtNul()) return true;
    if (const std::size_t whole = WholeLinesEnd(); whole > 0) {
        Block* block = NewBlock(content);
        if (block == nullptr) return false;
        TakeInput(*block, whole);
        pipeline.Publish();
    }
    return Stop(OpenLine(), tooLong ? LineTooLongMessage(kLineLimitBytes) : NulMessageAtEnd());
}

bool FileReading::Stop(std::optional<std::size_t> line, std::string message, int status)
{
    if (Block* block = NewBlock(ReadyText{})) {
        std::get<ReadyText>(block->content).stop = BlockStop{line, std::move(message), status};
        pipeline.Publish();
    }
    return false;
}

std::string FileReading::SizeChange()
{
    unsigned long long now = 0;
    if (!input.SizeChanged(now)) return "";
    return std::string(kProgram) + ": " + *name_ + ": " + SizeChangedMessage(input.SizeWhenOpened(), now);
}

Block* FileReading::NewBlock(BlockContent content)
{
    Block* block = pipeline.Acquire();
    if (block == nullptr) return nullptr;
    block->content = std::move(content);
    block->settings = settings;
    block->fileName = name_;
    block->firstLine = bufferLine;
    block->leading = std::move(lead);
    lead.clear();
    return block;
}

void FileReading::TakeInput(Block& block, std::size_t length)
{
    block.input.assign(buffer, 0, length);
    bufferLine += CountLineEnds(std::string_view(buffer).substr(0, length));
    Drop(length);
}

bool FileReading::HandOverLines(const BlockContent& content)
{
    bool first = true;
    // What the buffer holds already goes out before waiting for more.
    for (bool fresh = !buffer.empty();; fresh = false) {
        if (!fresh && !input.Ended() && !Read()) return false;
        if (!StopAtBadLine(content)) return false;
        // A file that changed size still gives the whole lines read, then the report.
        const bool ended = input.Ended();
        std::string resized;
        if (ended) resized = SizeChange();
        const std::size_t cut = ended && resized.empty() ? buffer.size() : WholeLinesEnd();
        if (cut > 0 || (ended && first && resized.empty())) {
            Block* block = NewBlock(content);
            if (block == nullptr) return false;
            first = false;
            TakeInput(*block, cut);
            pipeline.Publish();
        }
        if (!resized.empty()) return Stop(std::nullopt, resized);
        if (ended) return !pipeline.Stopped();
    }
}

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
        if (!std::all_of(text.begin(), text.end(), IsLineBlank)) {
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

bool ReadFirstLine(FileReading& file, FirstLine& first)
{
    // Looked for again only when a line ended, so that a long line is not scanned anew
    // at every read.
    std::size_t looked = SIZE_MAX;
    for (;;) {
        const bool bad = file.LineTooLong() || file.input.EndedAtNul();
        if (file.OpenLine() != looked || file.input.Ended() || bad) {
            looked = file.OpenLine();
            first = FindFirstLine(file.buffer, file.input.Ended());
            // A line before the bad one; else the bad one is the first that is not blank.
            if (first.begin != std::string::npos && (first.begin < file.WholeLinesEnd() || !bad)) return true;
            if (bad) {
                if (file.options.records) return file.StopAtBadLine(RecordLines{});
                return file.StopAtBadLine(PairLines{});
            }
            if (file.input.Ended()) return true;
        }
        if (!file.Read()) return false;
    }
}

// Counts the numbers at the start of a line, up to 2 for anything that is not a number
// after them: 1 tells a file of one number a line.
static std::size_t NumbersOn(std::string_view line)
{
    std::size_t count = 0;
    const char* p = line.data();
    const char* end = p + line.size();
    for (;;) {
        while (p != end && IsLineBlank(*p)) ++p;
        if (p == end) return count;
        const char* e = ScanBatchNumber(p, end);
        if (e == p) return count + 2;  // not a number: left to the line reader
        ++count;
        p = e;
    }
}

bool ReadFile(FileReading& file, const std::string& path)
{
    std::string reason;
    if (!file.input.Open(path, reason))
        return file.Stop(std::nullopt, std::string(kProgram) + ": " + *file.Name() + ": " + reason);
    // A leading byte-order mark is not part of the first line's text; it still counts as
    // the file's first bytes, on its first line. A UTF-16 mark is read whole too, as the
    // readers look for it.
    const auto markStart = [&file] {
        const std::string_view bytes = file.buffer;
        return std::string_view("\xEF\xBB\xBF").starts_with(bytes) ||
               (bytes.size() < 2 && (std::string_view("\xFF\xFE").starts_with(bytes) ||
                                     std::string_view("\xFE\xFF").starts_with(bytes)));
    };
    while (file.buffer.size() < 3 && !file.input.Ended() && markStart())
        if (!file.Read()) return false;
    const std::size_t byteOrderMark = Utf8ByteOrderMarkLength(file.buffer);
    file.Drop(byteOrderMark);
    // A spreadsheet opened by double-click takes a CSV file without the mark for the local
    // code page and garbles its Chinese: record output keeps the mark its input came with.
    // Only at the very start (inside the output it would be a stray character), and never
    // in a map format (JSON and XML documents start without one).
    if (file.options.records && file.firstFile && byteOrderMark != 0 && !file.settings.map)
        file.lead = "\xEF\xBB\xBF";

    if (file.options.records) return ReadRecords(file);
    if (file.options.pairsAcrossLines) return ReadNumberStream(file, false);
    // The first line that holds anything tells one number a line from pairs.
    FirstLine first;
    if (!ReadFirstLine(file, first)) return false;
    if (first.begin != std::string::npos &&
        NumbersOn(std::string_view(file.buffer).substr(first.begin, first.end - first.begin)) == 1)
        return ReadNumberStream(file, true);
    return ReadPairLines(file);
}
