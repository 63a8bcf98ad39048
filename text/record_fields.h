#pragma once
// The fields of one line of a delimited text file ("CSV"): RFC 4180 quoting, any one
// delimiter byte, or blanks. Standard library only; thread-safe.
#include <cstddef>
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
bool SplitFields(std::string_view line, char delimiter, std::vector<FieldSpan>& fields, std::size_t& problem);

// The field's value: quotes removed and "" made one '"'.
std::string FieldValue(std::string_view line, const FieldSpan& field);

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
