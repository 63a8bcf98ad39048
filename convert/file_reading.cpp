#include "convert/file_reading.h"

#include <algorithm>
#include <utility>

#include "convert/messages.h"
#include "text/batch_file.h"
#include "text/batch_reader.h"

static const char* const kProgram = "kartovel-convert";

FileReading::FileReading(const ConvertOptions& runOptions, BlockPipeline& runPipeline, const std::string& path)
    : options(runOptions), pipeline(runPipeline),
      name_(std::make_shared<const std::string>(path == "-" ? "<stdin>" : path))
{
    settings.mode = options.mode;
    settings.ellipsoid = &kEllipsoids[options.ellipsoidIndex];
    settings.replace = options.replace;
}

bool FileReading::Read()
{
    std::string reason;
    if (input.ReadMore(buffer, reason)) return true;
    return Stop(std::nullopt, std::string(kProgram) + ": " + *name_ + ": " + reason);
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
    return block;
}

void FileReading::TakeInput(Block& block, std::size_t length)
{
    block.input.assign(buffer, 0, length);
    bufferLine += CountLineEnds(std::string_view(buffer).substr(0, length));
    buffer.erase(0, length);
}

// The length of the whole lines at the start of `bytes`: up to the last LF, or the last
// CR whose next byte is there (a CR at the very end may be the first half of a CR LF).
static std::size_t WholeLines(std::string_view bytes)
{
    for (std::size_t i = bytes.size(); i-- > 0;) {
        if (bytes[i] == '\n') return i + 1;
        if (bytes[i] == '\r' && i + 1 < bytes.size()) return i + 1;
    }
    return 0;
}

bool FileReading::HandOverLines(const BlockContent& content)
{
    bool first = true;
    // What the buffer holds already goes out before waiting for more.
    for (bool fresh = !buffer.empty();; fresh = false) {
        if (!fresh && !input.Ended() && !Read()) return false;
        // A file that changed size still gives the whole lines read, then the report.
        const bool ended = input.Ended();
        std::string resized;
        if (ended) resized = SizeChange();
        const std::size_t cut = ended && resized.empty() ? buffer.size() : WholeLines(buffer);
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
    while ((first = FindFirstLine(file.buffer, file.input.Ended())).begin == std::string::npos && !file.input.Ended())
        if (!file.Read()) return false;
    return true;
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
    // the file's first bytes, on its first line.
    while (file.buffer.size() < 3 && !file.input.Ended() && std::string_view("\xEF\xBB\xBF").starts_with(file.buffer))
        if (!file.Read()) return false;
    file.buffer.erase(0, Utf8ByteOrderMarkLength(file.buffer));

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
