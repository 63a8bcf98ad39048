#pragma once
// The fields of one line of a delimited text file ("CSV"): RFC 4180 quoting, any one
// delimiter byte, or blanks. Standard library only; thread-safe.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The delimiter that stands for "runs of spaces and tabs".
inline constexpr char kBlanksDelimiter = ' ';

// One field: its bytes in the line, quotes included.
struct FieldSpan {
    std::size_t begin;
    std::size_t end;
    bool quoted;
};

// Splits a line (without its line end) into fields. A field that starts with '"' is
// quoted (blanks before the quote aside): it runs to the next '"' not doubled, and "" inside stands for one '"'; blanks
// may follow the closing quote. With kBlanksDelimiter, blanks around fields are not
// part of them and an empty line has no field; otherwise every delimiter starts a new
// field, so "a,,b" has three and an empty line has one empty field.
// Returns false, with `problem` the 0-based index of the field, when a quote is not
// closed on the line or other text follows a closing quote.
// Only the first `keep` fields are stored, so that a line of millions of fields costs no
// more memory than its bytes; `count`, when given, receives how many the line holds (up
// to the faulty one).
bool SplitFields(std::string_view line, char delimiter, std::vector<FieldSpan>& fields, std::size_t& problem,
                 std::size_t keep = SIZE_MAX, std::size_t* count = nullptr);

// The same split, handing each field to `visit` in turn instead of storing it; `count` is
// the number of fields handed over (the index of the faulty one when it returns false).
bool VisitFields(std::string_view line, char delimiter, const std::function<void(const FieldSpan&)>& visit,
                 std::size_t& count);

// The field's value: quotes removed and "" made one '"'.
std::string FieldValue(std::string_view line, const FieldSpan& field);
// The same without the field blanks around it: a header name, or a value as a map format
// shows it.
std::string TrimmedFieldValue(std::string_view line, const FieldSpan& field);

// The delimiter of a file from its first line: a tab if it holds one outside quotes,
// else a semicolon (a file whose numbers have decimal commas separates with them), else
// a comma, else blanks. With decimalComma the commas are decimal marks, so blanks between
// fields win over commas; a comma then comes back only for a line that commas alone can
// separate, a file the caller refuses.
char DetectDelimiter(std::string_view firstLine, bool decimalComma = false);

// A field written as a number with a decimal comma ("247342,5", "-0,5e3", "12"): true,
// with `number` its batch-grammar text (the comma made a point), when it holds no point
// and at most one comma, and is a number of the batch grammar once that comma is a point.
// Blanks around the field are not part of it. A point is refused, as it may be a
// thousands separator where commas are decimal marks.
bool DecimalCommaNumber(std::string_view field, std::string& number);

// A result text written with a decimal comma: its point made a comma.
void UseDecimalComma(std::string& text);

// Whether two header names name the same field: equal in any case of the ASCII letters
// (a spreadsheet's "E" and a user's "e"); other letters must match exactly.
bool SameFieldName(std::string_view a, std::string_view b);

// The field (counted from 1) that the byte after `before`, the start of a line, falls
// in: where a NUL byte ended a record's text.
std::size_t FieldAtEnd(std::string_view before, char delimiter);
