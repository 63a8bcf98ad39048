// Record lines: the fields of each line found, the two chosen ones converted, the line
// written back with the results.
#include "convert/record_lines.h"

#include <algorithm>
#include <optional>

#include "convert/messages.h"
#include "convert/point_converter.h"
#include "text/batch_file.h"
#include "text/batch_reader.h"
#include "text/dms_text.h"
#include "text/load_report.h"

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

// The chosen field `index` (0-based) as a number text of the batch grammar, in `number`
// (which may point into `scratch`); the message when it is not one, naming the decimal
// mark when the field has the other one.
static std::optional<std::string> ReadField(const ConversionSettings& settings, std::string_view field,
                                            std::size_t index, std::string& scratch, std::string_view& number)
{
    if (settings.decimalComma ? DecimalCommaNumber(field, scratch) : FieldNumber(field, number)) {
        if (settings.decimalComma) number = scratch;
        return std::nullopt;
    }
    const std::string excerpt = ReadableExcerpt(field, 0);
    std::string_view other;
    if (settings.decimalComma && FieldNumber(field, other))
        return DecimalPointFieldMessage(index + 1, excerpt);
    if (!settings.decimalComma && DecimalCommaNumber(field, scratch))
        return DecimalCommaFieldMessage(index + 1, excerpt);
    return FieldNotANumberMessage(index + 1, excerpt);
}

void ConvertRecordLines(const ConversionSettings& settings, Block& block)
{
    PointConverter converter(settings, block);
    PointResultTexts texts;
    std::vector<FieldSpan> fields;
    std::string xValue, yValue, xComma, yComma;
    const char* p = block.input.data();
    const char* const end = p + block.input.size();
    const std::size_t needed = std::max(settings.xField, settings.yField) + 1;
    for (std::size_t line = block.firstLine; p != end; ++line) {
        const LineSpan span = FindLineEnd(p, end);
        const std::string_view text(p, span.end - p);
        const std::string_view ending = span.next != span.end ? std::string_view(span.end, span.next - span.end) : "\n";
        if (IsBlankRecordLine(text)) {
            if (!settings.map) {
                block.output += text;  // a blank line stays as it is
                block.output += ending;
            }
        } else {
            if (const TextBytes check = CheckUtf8(text); check != TextBytes::Utf8) {
                block.stop = BlockStop{line, check == TextBytes::HoldsNul ? Utf16Message() : NotUtf8Message()};
                return;
            }
            std::size_t badQuote = 0;
            std::size_t count = 0;
            // Only the fields up to the chosen ones are kept, whatever the line holds.
            if (!SplitFields(text, settings.delimiter, fields, badQuote, needed, &count)) {
                block.stop = BlockStop{line, QuoteMessage(badQuote + 1)};
                return;
            }
            if (count < needed) {
                const std::size_t missing = count <= settings.xField ? settings.xField : settings.yField;
                block.stop = BlockStop{line, FieldMissingMessage(missing + 1, count)};
                return;
            }
            const FieldSpan& xSpan = fields[settings.xField];
            const FieldSpan& ySpan = fields[settings.yField];
            std::string_view xField = text.substr(xSpan.begin, xSpan.end - xSpan.begin);
            std::string_view yField = text.substr(ySpan.begin, ySpan.end - ySpan.begin);
            if (xSpan.quoted) xField = xValue = FieldValue(text, xSpan);
            if (ySpan.quoted) yField = yValue = FieldValue(text, ySpan);
            // A geographic field may also be degrees, minutes and seconds (--from).
            const bool angles = settings.from && InfoOf(*settings.from).geographic;
            Extended values[2];
            const std::string_view fieldTexts[2] = {xField, yField};
            const std::size_t indices[2] = {settings.xField, settings.yField};
            std::string* const commaScratch[2] = {&xComma, &yComma};
            std::string_view numbers[2];
            for (int k = 0; k < 2; ++k) {
                std::optional<std::string> problem =
                    ReadField(settings, fieldTexts[k], indices[k], *commaScratch[k], numbers[k]);
                if (!problem) continue;
                if (angles) {
                    const DmsProblem dms =
                        ParseDms(fieldTexts[k], k == 0 ? AngleAxis::Longitude : AngleAxis::Latitude, values[k]);
                    if (dms == DmsProblem::None) continue;
                    problem = DmsFieldMessage(indices[k] + 1, ReadableExcerpt(fieldTexts[k], 0), dms);
                }
                block.stop = BlockStop{line, std::move(*problem)};
                return;
            }
            // Numbers are read once both fields are known to be readable, x first.
            for (int k = 0; k < 2; ++k)
                if (!numbers[k].empty() && !converter.Value(numbers[k], line, values[k])) return;
            if (!converter.ConvertValues(values[0], values[1], line, texts))
                return;
            if (settings.map) {
                // Map formats write JSON and XML numbers: always a decimal point. Every field
                // of the line is a property, so the line is split whole here.
                std::vector<FieldSpan> all;
                std::size_t unused = 0;
                SplitFields(text, settings.delimiter, all, unused);
                MapPoint& point = block.mapPoints.emplace_back(MapPoint{line, texts.first, texts.second, {}});
                for (const FieldSpan& field : all) point.fields.push_back(TrimmedFieldValue(text, field));
            } else {
                if (settings.decimalComma) {
                    UseDecimalComma(texts.first);
                    UseDecimalComma(texts.second);
                }
                AppendRecord(block.output, text, fields, settings, texts.first, texts.second);
                block.output += ending;
            }
        }
        p = span.next;
    }
}
