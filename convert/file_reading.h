#pragma once
// What the readers of one input file share: the file, the bytes read but not yet handed
// over, the line they start on, and the ways to hand blocks to the pipeline. One small
// reader per mode of the run finds the blocks (pair_line_reader.cpp,
// number_stream_reader.cpp, record_reader.cpp).
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "convert/block.h"
#include "convert/convert_options.h"
#include "convert/input_file.h"
#include "convert/ordered_pipeline.h"

using BlockPipeline = OrderedPipeline<Block>;

class FileReading {
public:
    // `firstFile`: this file's output starts the run's output. `map`: the writer of a map
    // format, or nullptr for lines.
    FileReading(const ConvertOptions& options, BlockPipeline& pipeline, const std::string& path, bool firstFile,
                MapWriter* map = nullptr);

    const ConvertOptions& options;
    BlockPipeline& pipeline;
    ConversionSettings settings;
    InputFile input;
    std::string buffer;          // read, not yet handed over
    std::size_t bufferLine = 1;  // the line of buffer's first byte
    bool delimiterKnown = false; // settings.delimiter was decided from the first line
    const bool firstFile;
    // Records: the byte-order mark the output starts with, or nothing; the first block
    // handed over takes it.
    std::string lead;

    // Reads more into buffer; false when reading failed (the message is handed over).
    // Each byte read is looked at once here, for the line ends.
    bool Read();
    // Drops the first `count` bytes of the buffer (bufferLine is the caller's).
    void Drop(std::size_t count);
    // Whether the buffer starts with the file's first byte (no UTF-8 mark was there).
    bool AtStartOfFile() const { return dropped_ == 0; }
    // The end of the whole lines in the buffer: after the last line end whose kind is
    // known (a CR at the end of what was read may still get its LF), or 0.
    std::size_t WholeLinesEnd() const { return lineStart_ > dropped_ ? lineStart_ - dropped_ : 0; }
    // The line after the whole lines, counted from the file's first: the one being read.
    std::size_t OpenLine() const { return lineEnds_ + 1; }
    // Whether the line being read is longer than kLineLimitBytes.
    bool LineTooLong() const { return scanned_ - lineStart_ > kLineLimitBytes; }
    // When the line being read is too long or holds a NUL byte that ends the text: hands
    // over the whole lines before it (in blocks of `content`), then the stop at it.
    // False then, as the run stops; true when neither is the case.
    bool StopAtBadLine(const BlockContent& content);
    // The message for the NUL byte that ended the text, at the end of the buffer.
    std::string NulMessageAtEnd() const;
    // Hands over a block that only reports; false, as the run stops here.
    bool Stop(std::optional<std::size_t> line, std::string message, int status = 1);
    // At the end of the file: the report when a regular file did not keep its size, else
    // empty.
    std::string SizeChange();
    // An emptied block of this file starting at bufferLine, or nullptr once the run has
    // stopped.
    Block* NewBlock(BlockContent content);
    // Takes the first `length` bytes of the buffer into the block, and moves bufferLine
    // past their lines.
    void TakeInput(Block& block, std::size_t length);
    // Hands over the buffer and the rest of the file in blocks of whole lines of the
    // given content, as they arrive; false when the run stops in this file.
    bool HandOverLines(const BlockContent& content);

    const std::shared_ptr<const std::string>& Name() const { return name_; }

private:
    void ScanLineEnds();

    std::shared_ptr<const std::string> name_;
    // Offsets counted from the file's first byte read: the buffer's first byte, the end of
    // the bytes looked at for line ends, and the start of the line being read.
    std::size_t dropped_ = 0;
    std::size_t scanned_ = 0;
    std::size_t lineStart_ = 0;
    std::size_t lineEnds_ = 0;  // line ends before lineStart_
};

// Reads one file by the run's mode; false when the run stops in it.
bool ReadFile(FileReading& file, const std::string& path);

// The readers, one per mode; each starts after the byte-order mark.
bool ReadPairLines(FileReading& file);
bool ReadNumberStream(FileReading& file, bool onePerLine);
bool ReadRecords(FileReading& file);

// The first line that is not blank (line blanks only) in the bytes at the start of a
// file: its text, where it ends (after its line end) and its line; begin is npos when
// the bytes do not hold it whole yet.
struct FirstLine {
    std::size_t begin = std::string::npos;
    std::size_t end = 0;   // of its text
    std::size_t next = 0;  // after its line end
    std::size_t lineNumber = 1;
};
FirstLine FindFirstLine(std::string_view bytes, bool ended);
// Reads until the buffer holds the first line that is not blank, or the file ends;
// false when the run stops (reading failed, or the first line is too long or holds a
// NUL byte).
bool ReadFirstLine(FileReading& file, FirstLine& first);
