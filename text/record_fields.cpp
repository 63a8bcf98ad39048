#include "text/record_fields.h"

#include <algorithm>

#include "text/batch_file.h"
#include "text/batch_reader.h"  // ScanBatchNumber

// The split itself, with the visitor inlined: SplitFields runs on every record line.
template <typename Visit>
static bool VisitFieldsWith(std::string_view line, char delimiter, Visit&& visit, std::size_t& count)
{
    count = 0;
    const bool blanks = delimiter == kBlanksDelimiter;
    const std::size_t n = line.size();
    std::size_t i = 0;
    if (blanks) {
        while (i < n && IsFieldBlank(line[i])) ++i;
        if (i == n) return true;
    }
    for (;;) {
        FieldSpan field{i, i, false};
        // Blanks before an opening quote are not part of the field.
        std::size_t quote = i;
        while (quote < n && IsFieldBlank(line[quote]) && !(blanks || line[quote] == delimiter)) ++quote;
        if (quote < n && line[quote] == '"') {
            i = quote;
            field.begin = i;
            field.quoted = true;
            for (++i;; ++i) {
                if (i == n) return false;
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"')
                        ++i;
                    else
                        break;
                }
            }
            field.end = ++i;
            while (i < n && IsFieldBlank(line[i]) && !(blanks || line[i] == delimiter)) ++i;
            if (i < n && !(blanks ? IsFieldBlank(line[i]) : line[i] == delimiter)) return false;
        } else if (blanks) {
            while (i < n && !IsFieldBlank(line[i])) ++i;
            field.end = i;
        } else {
            while (i < n && line[i] != delimiter) ++i;
            field.end = i;
        }
        visit(field);
        ++count;
        if (i == n) return true;
        // At a delimiter.
        ++i;
        if (blanks) {
            while (i < n && IsFieldBlank(line[i])) ++i;
            if (i == n) return true;
        }
    }
}

bool VisitFields(std::string_view line, char delimiter, const std::function<void(const FieldSpan&)>& visit,
                 std::size_t& count)
{
    return VisitFieldsWith(line, delimiter, visit, count);
}

bool SplitFields(std::string_view line, char delimiter, std::vector<FieldSpan>& fields, std::size_t& problem,
                 std::size_t keep, std::size_t* count)
{
    fields.clear();
    std::size_t seen = 0;
    const bool split = VisitFieldsWith(line, delimiter, [&](const FieldSpan& field) {
        if (fields.size() < keep) fields.push_back(field);
    }, seen);
    if (count != nullptr) *count = seen;
    if (!split) problem = seen;
    return split;
}

std::string FieldValue(std::string_view line, const FieldSpan& field)
{
    if (!field.quoted)
        return std::string(line.substr(field.begin, field.end - field.begin));
    std::string value;
    for (std::size_t i = field.begin + 1; i + 1 < field.end; ++i) {
        value += line[i];
        if (line[i] == '"') ++i;  // the second of a doubled quote
    }
    return value;
}

std::string TrimmedFieldValue(std::string_view line, const FieldSpan& field)
{
    const std::string value = FieldValue(line, field);
    std::size_t first = 0, last = value.size();
    while (first < last && IsFieldBlank(value[first])) ++first;
    while (last > first && IsFieldBlank(value[last - 1])) --last;
    return value.substr(first, last - first);
}

char DetectDelimiter(std::string_view firstLine, bool decimalComma)
{
    bool quoted = false;
    bool semicolon = false;
    bool comma = false;
    bool blank = false;  // between fields, not at either end
    const std::size_t first = firstLine.find_first_not_of(' ');
    const std::size_t last = firstLine.find_last_not_of(' ');
    for (std::size_t i = 0; i < firstLine.size(); ++i) {
        const char c = firstLine[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\t')
            return '\t';
        else if (c == ';')
            semicolon = true;
        else if (c == ',')
            comma = true;
        else if (c == ' ' && i > first && i < last)
            blank = true;
    }
    if (semicolon) return ';';
    return comma && !(decimalComma && blank) ? ',' : kBlanksDelimiter;
}

bool DecimalCommaNumber(std::string_view field, std::string& number)
{
    const std::size_t first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    field = field.substr(first, field.find_last_not_of(" \t") + 1 - first);
    const std::size_t comma = field.find(',');
    if (field.find('.') != std::string_view::npos ||
        (comma != std::string_view::npos && field.find(',', comma + 1) != std::string_view::npos))
        return false;
    number.assign(field);
    if (comma != std::string_view::npos) number[comma] = '.';
    const char* begin = number.data();
    const char* end = begin + number.size();
    return ScanBatchNumber(begin, end) == end;
}

void UseDecimalComma(std::string& text)
{
    std::replace(text.begin(), text.end(), '.', ',');
}

bool SameFieldName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::size_t FieldAtEnd(std::string_view before, char delimiter)
{
    // Any byte that is neither blank, quote nor delimiter stands for the one that follows.
    std::string line(before);
    line += 'x';
    std::size_t count = 0;
    const bool split = VisitFields(line, delimiter, [](const FieldSpan&) {}, count);
    return split ? count : count + 1;
}
