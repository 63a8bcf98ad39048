// The reader of numbers wherever the lines end (--pairs-across-lines), and of files of
// one number a line: it finds the numbers itself, two by two, and hands the workers
// their places with their lines in the file.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/file_reading.h"
#include "convert/messages.h"
#include "text/batch_file.h"
#include "text/batch_reader.h"

bool ReadNumberStream(FileReading& file, bool onePerLine)
{
    std::size_t line = 1;          // the line at `scan`
    std::size_t scan = 0;          // where reading goes on in file.buffer
    std::size_t onLine = 0;        // numbers on the current line so far
    bool pendingX = false;         // a pair's first number was read
    NumberPlace x{};
    std::vector<NumberPlace> numbers;  // found, not yet handed over: x, y, x, y, ...
    std::optional<BlockStop> stop;
    for (bool fresh = !file.buffer.empty();; fresh = false) {
        if (!fresh && !file.input.Ended() && !file.Read()) return false;
        const bool ended = file.input.Ended();
        if (ended) {
            if (std::string resized = file.SizeChange(); !resized.empty())
                return file.Stop(std::nullopt, std::move(resized));
        }
        // Whole lines only, so that what is found on a line (its count of numbers, the
        // excerpt of a stop) never depends on where a read ended. A line too long, or
        // one that a NUL byte ended, stops the run after the lines before it.
        const bool bad = file.LineTooLong() || file.input.EndedAtNul();
        const std::size_t limit = ended && !bad ? file.buffer.size() : file.WholeLinesEnd();
        const char* base = file.buffer.data();
        const char* p = base + scan;
        const char* end = base + limit;
        while (!stop) {
            // Blanks, counting lines.
            while (p != end) {
                const char c = *p;
                if (c == '\n' || (c == '\r' && (p + 1 == base + file.buffer.size() ? ended : p[1] != '\n'))) {
                    ++line;
                    onLine = 0;
                } else if (!IsBatchWhitespace(c)) {
                    break;
                }
                ++p;
            }
            if (p == end) break;
            const char* e = ScanBatchNumber(p, end);
            if (e == p) {
                const std::size_t place = pendingX ? x.begin : static_cast<std::size_t>(p - base);
                stop = BlockStop{pendingX ? x.line : line,
                                 CannotReadPairMessage(file.buffer, place, static_cast<std::size_t>(p - base), file.AtStartOfFile())};
                break;
            }
            if (onePerLine && ++onLine == 2) {
                std::size_t count = 2;
                for (const char* q = e;;) {
                    while (q != end && IsLineBlank(*q)) ++q;
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
                numbers.push_back(x);
                numbers.push_back(number);
            } else {
                x = number;
            }
            pendingX = !pendingX;
            p = e;
        }
        if (!stop && bad)
            stop = BlockStop{file.OpenLine(), file.LineTooLong() ? LineTooLongMessage(kLineLimitBytes) : file.NulMessageAtEnd()};
        if (!stop && ended && pendingX)
            stop = BlockStop{x.line, CannotReadPairMessage(file.buffer, x.begin, file.buffer.size(), file.AtStartOfFile())};
        // The block takes the bytes up to the pending first number (or all read).
        const std::size_t cut = stop || ended ? (bad ? limit : file.buffer.size()) : pendingX ? x.begin : static_cast<std::size_t>(p - base);
        if (!numbers.empty() || stop) {
            const bool stops = stop.has_value();
            Block* block = file.NewBlock(FoundPairs{std::move(numbers), std::move(stop)});
            if (block == nullptr) return false;
            numbers = {};
            block->input.assign(file.buffer, 0, cut);
            file.pipeline.Publish();
            if (stops) return false;
            file.Drop(cut);
            if (pendingX) x.begin -= cut, x.end -= cut;
            scan = static_cast<std::size_t>(p - base) - cut;
        } else {
            scan = static_cast<std::size_t>(p - base);
        }
        if (ended) return !file.pipeline.Stopped();
    }
}
