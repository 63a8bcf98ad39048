#pragma once
// What the batch page tells the user after a load that did not go as the file's author
// meant: why reading stopped and what to do about it, and a warning when the pairs do
// not line up with the lines. Every text is UTF-8, Traditional Chinese first, then
// English. Pure: the bytes and the reader's result in, text out.
#include <cstddef>
#include <string>
#include <string_view>

#include "text/batch_reader.h"

// The likely reason why reading stopped early, judged from the bytes where no number
// could be read and from the start of the file.
enum class LoadStopCause {
    Words,                // letters: a header line or a note
    ListSeparator,        // a comma or a semicolon (a CSV file, or a decimal comma)
    Quote,                // numbers in quotation marks
    Utf16,                // UTF-16 text: FF FE or FE FF at the start, or NUL bytes
    OtherEncoding,        // bytes that are not UTF-8, such as a Big5 header
    FullWidth,            // a full-width space, digit or punctuation mark
    ByteOrderMarkInside,  // a UTF-8 byte-order mark after the start: files joined
    LoneNumber,           // the last number has no partner
    IncompleteNumber,     // a sign, a point or an exponent without digits
    OtherCharacter,       // any other byte that cannot start a number
};

// Meaningful only when read.stoppedEarly; read must be ReadBatchPairs(bytes).
LoadStopCause DiagnoseLoadStop(std::string_view bytes, const BatchReadResult& read);
// The same judged from where no number could be read, `at`, in bytes that begin where the
// file begins; at or beyond the end of the text, the last number had no partner. For a
// reader that holds only part of the file (the converter): what follows `at` up to the
// line end is enough, and a UTF-16 mark is seen only when the bytes start with it and
// `startOfFile` says they are the file's first bytes (a mark elsewhere is no encoding).
LoadStopCause DiagnoseLoadStopAt(std::string_view bytes, std::size_t at, bool startOfFile = true);

// ReadableExcerpt, the excerpt the report quotes, is in batch_file.h.

// What to show after ReadBatchPairs(bytes) gave `read`: empty when the whole file was
// read and its pairs line up with its lines. Otherwise, in Chinese and then in English:
// how many pairs were loaded; when reading stopped early, the line, the excerpt there,
// and then either the likely cause and its remedy, or, when the lines around the stop
// (two before it, five after it; a UTF-16 file decoded) show more than one problem or
// one that the single cause would mend wrongly (name or extra number columns, decimal
// commas, latitude before longitude), every problem seen (encoding, header lines, name
// and extra columns, quotes, decimal commas, commas or semicolons, latitude first) and
// one remedy for all of them, with the first line that needs mending shown as it should
// read and, for a delimited UTF-8 file, the kartovel-convert --columns that reads it;
// when the layout breaks, the first breaking line, its count of numbers and the warning
// that x and y may be mixed up.
std::string LoadReport(std::string_view bytes, const BatchReadResult& read);

// True when the report carries the layout warning (shown with a warning icon).
inline bool LoadReportWarns(const BatchReadResult& read) { return read.layoutBreakLine != 0; }
