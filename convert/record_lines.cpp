// Record lines: the fields of each line found, the two chosen ones converted, the line
// written back with the results.
#include "convert/record_lines.h"

#include <algorithm>

#include "convert/messages.h"
#include "convert/point_converter.h"
#include "text/batch_file.h"
#include "text/batch_reader.h"

void AppendRecord(std::string& out, std::string_view text, const std::vector<FieldSpan>& fields,
                  const ConversionSettings& settings, std::string_view first, std::string_view second)
{
    if (!settings.replace) {
        const char separator = settings.delimiter == kBlanksDelimiter ? ' ' : settings.delimiter;
        out += text;
        out += separator;
        out += first;
        out += separator;
        out += second;
        return;
    }
    // The two fields in the order they stand on the line.
    const FieldSpan& xSpan = fields[settings.xField];
    const FieldSpan& ySpan = fields[settings.yField];
    const bool xFirst = xSpan.begin < ySpan.begin;
    const FieldSpan& a = xFirst ? xSpan : ySpan;
    const FieldSpan& b = xFirst ? ySpan : xSpan;
    out += text.substr(0, a.begin);
    out += xFirst ? first : second;
    out += text.substr(a.end, b.begin - a.end);
    out += xFirst ? second : first;
    out += text.substr(b.end);
}

// The field as a number of the batch grammar, blanks around it allowed; false when it is
// anything else.
static bool FieldNumber(std::string_view value, std::string_view& number)
{
    std::size_t first = 0, last = value.size();
    while (first < last && IsFieldBlank(value[first])) ++first;
    while (last > first && IsFieldBlank(value[last - 1])) --last;
    const char* begin = value.data() + first;
    const char* end = value.data() + last;
    if (begin == end || ScanBatchNumber(begin, end) != end) return false;
    number = std::string_view(begin, last - first);
    return true;
}

void ConvertRecordLines(const ConversionSettings& settings, Block& block)
{
    PointConverter converter(settings, block);
    PointResultTexts texts;
    std::vector<FieldSpan> fields;
    std::string xValue, yValue;
    const char* p = block.input.data();
    const char* const end = p + block.input.size();
    const std::size_t needed = std::max(settings.xField, settings.yField) + 1;
    for (std::size_t line = block.firstLine; p != end; ++line) {
        const LineSpan span = FindLineEnd(p, end);
        const std::string_view text(p, span.end - p);
        const std::string_view ending = span.next != span.end ? std::string_view(span.end, span.next - span.end) : "\n";
        if (IsBlankRecordLine(text)) {
            block.output += text;  // a blank line stays as it is
            block.output += ending;
        } else {
            if (const TextBytes check = CheckUtf8(text); check != TextBytes::Utf8) {
                block.stop = BlockStop{line, check == TextBytes::HoldsNul ? Utf16Message() : NotUtf8Message()};
                return;
            }
            std::size_t problem = 0;
            std::size_t count = 0;
            // Only the fields up to the chosen ones are kept, whatever the line holds.
            if (!SplitFields(text, settings.delimiter, fields, problem, needed, &count)) {
                block.stop = BlockStop{line, QuoteMessage(problem + 1)};
                return;
            }
            if (count < needed) {
                const std::size_t missing = count <= settings.xField ? settings.xField : settings.yField;
                block.stop = BlockStop{line, FieldMissingMessage(missing + 1, count)};
                return;
            }
            const FieldSpan& xSpan = fields[settings.xField];
            const FieldSpan& ySpan = fields[settings.yField];
            std::string_view xNumber, yNumber;
            std::string_view xField = text.substr(xSpan.begin, xSpan.end - xSpan.begin);
            std::string_view yField = text.substr(ySpan.begin, ySpan.end - ySpan.begin);
            if (xSpan.quoted) xField = xValue = FieldValue(text, xSpan);
            if (ySpan.quoted) yField = yValue = FieldValue(text, ySpan);
            if (!FieldNumber(xField, xNumber)) {
                block.stop = BlockStop{line, FieldNotANumberMessage(settings.xField + 1,
                                                                    ReadableExcerpt(xField, 0))};
                return;
            }
            if (!FieldNumber(yField, yNumber)) {
                block.stop = BlockStop{line, FieldNotANumberMessage(settings.yField + 1,
                                                                    ReadableExcerpt(yField, 0))};
                return;
            }
            if (!converter.Convert(xNumber, line, yNumber, line, texts))
                return;
            AppendRecord(block.output, text, fields, settings, texts.first, texts.second);
            block.output += ending;
        }
        p = span.next;
    }
}
