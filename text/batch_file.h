#pragma once
// The byte-level rules of a batch file that every reader of one shares, the window's and
// the converter's: where lines end, what counts as a blank, where the text ends (Ctrl-Z),
// the byte-order marks, UTF-8, and how a place in the file is quoted in a message.
// Standard library only, no state; thread-safe.
#include <cstddef>
#include <string>
#include <string_view>

#include "text/utf8.h"

// A line ends at LF, CR LF or a lone CR.
inline bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Blanks that separate numbers within a line of a batch file: space, tab, VT, FF.
inline bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// Blanks around a field of a delimited record and between blank-separated fields: space
// and tab, the two a spreadsheet or an editor writes. A line holding only these is blank.
inline bool IsFieldBlank(char c) { return c == ' ' || c == '\t'; }

// Whitespace between numbers of a batch file read across lines: the line blanks and the
// line ends.
inline bool IsBatchWhitespace(char c) { return IsLineBlank(c) || IsLineEnd(c); }

// True when the line holds nothing but field blanks.
bool IsBlankRecordLine(std::string_view line);

// The end of the line that starts at p (its first CR or LF, or end), and where the next
// line starts (after LF, CR LF or a lone CR, or end).
struct LineSpan {
    const char* end;
    const char* next;
};
inline LineSpan FindLineEnd(const char* p, const char* end)
{
    while (p != end && !IsLineEnd(*p)) ++p;
    if (p == end) return {end, end};
    if (*p == '\r' && p + 1 != end && p[1] == '\n') return {p, p + 2};
    return {p, p + 1};
}

// The count of line ends (LF, CR LF, lone CR) in the bytes; a CR at their very end counts.
std::size_t CountLineEnds(std::string_view bytes);

// Byte 26 (Ctrl-Z) ends the text of a file: nothing after it is looked at.
inline constexpr char kEndOfText = '\x1A';

// The length of the text at the start of the bytes: up to the first Ctrl-Z, or all.
std::size_t TextLength(std::string_view bytes);

// The length of a UTF-8 byte-order mark at the start of the bytes: 3 when they begin
// with EF BB BF, else 0 (also for a mark cut short). A reader that takes a file in
// blocks passes this many bytes of its first block and of no other.
std::size_t Utf8ByteOrderMarkLength(std::string_view bytes);

// True when the bytes begin with a UTF-16 byte-order mark, FF FE or FE FF.
bool StartsWithUtf16ByteOrderMark(std::string_view bytes);

inline constexpr std::size_t kReadableExcerptCharacters = 20;

// The text of the file from `offset` to the end of its line (CR, LF, Ctrl-Z or the end of
// the bytes), at most kReadableExcerptCharacters characters, as readable text:
// - UTF-16 text (a byte-order mark FF FE or FE FF there, or NUL bytes alternating with
//   ASCII) is decoded as UTF-16, the mark left out (shown only when nothing follows it);
// - otherwise UTF-8 characters are shown as they are, unless the rest of the line is not
//   UTF-8 (Big5, say): then every byte above 127, and the byte after a double-byte lead
//   byte, is written "\xHH", so that no stray letter is made of two unrelated bytes;
// - "\" as "\\", tab as "\t", control characters (C0, DEL, C1) and byte-order marks as
//   "\xHH" (their UTF-8 bytes), the bidirectional embeddings, overrides and isolates
//   (U+202A-U+202E, U+2066-U+2069) as "\uXXXX", so that nothing invisible or acting on a
//   terminal is shown raw.
std::string ReadableExcerpt(std::string_view bytes, std::size_t offset);

// A whole name or option value for a message (a file name, a --columns name), every
// character that the excerpt escapes escaped the same way, bytes that are not UTF-8 as
// "\xHH"; "\" stays as it is, since it separates a Windows path's folders.
std::string TerminalSafeText(std::string_view text);
