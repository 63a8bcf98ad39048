#include "text/record_fields.h"

#include "text/batch_file.h"

bool VisitFields(std::string_view line, char delimiter, const std::function<void(const FieldSpan&)>& visit,
                 std::size_t& count)
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

bool SplitFields(std::string_view line, char delimiter, std::vector<FieldSpan>& fields, std::size_t& problem,
                 std::size_t keep, std::size_t* count)
{
    fields.clear();
    std::size_t seen = 0;
    const bool split = VisitFields(line, delimiter, [&](const FieldSpan& field) {
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

char DetectDelimiter(std::string_view firstLine)
{
    bool quoted = false;
    bool semicolon = false;
    bool comma = false;
    for (char c : firstLine) {
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
    }
    return semicolon ? ';' : comma ? ',' : kBlanksDelimiter;
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
