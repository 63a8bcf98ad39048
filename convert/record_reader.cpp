// The record mode's reader: the first line that is not blank decides the delimiter and
// the fields, and is a header when a chosen field is not a number; every line after it
// goes to the workers as it arrives.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "convert/crs_run.h"
#include "convert/file_reading.h"
#include "convert/messages.h"
#include "convert/record_lines.h"
#include "text/batch_file.h"
#include "text/batch_reader.h"
#include "text/record_fields.h"

namespace {

bool IsNumber(const std::string& text)
{
    const char* p = text.data();
    const char* end = p + text.size();
    return p != end && ScanBatchNumber(p, end) == end;
}

}  // namespace

bool ReadRecords(FileReading& file)
{
    ConversionSettings& settings = file.settings;
    if (StartsWithUtf16ByteOrderMark(file.buffer))
        return file.Stop(1, Utf16Message());
    FirstLine first;
    if (!ReadFirstLine(file, first)) return false;
    if (first.begin == std::string::npos)
        return file.HandOverLines(RecordLines{});  // blank lines only
    const std::string_view text = std::string_view(file.buffer).substr(first.begin, first.end - first.begin);
    if (const TextBytes check = CheckUtf8(text); check != TextBytes::Utf8)
        return file.Stop(first.lineNumber, check == TextBytes::HoldsNul ? Utf16Message() : NotUtf8Message());
    settings.delimiter =
        file.options.delimiter ? *file.options.delimiter : DetectDelimiter(text, file.options.decimalComma);
    file.delimiterKnown = true;
    if (file.options.decimalComma && settings.delimiter == ',')
        return file.Stop(first.lineNumber, CommaSeparatedDecimalCommaMessage());
    // The names are looked for field by field: a line of millions of fields holds no
    // more than its bytes.
    bool header = false;
    std::size_t* indices[2] = {&settings.xField, &settings.yField};
    bool named[2] = {false, false};
    for (int k = 0; k < 2; ++k) {
        const std::string& column = file.options.columns[k];
        named[k] = column.find_first_not_of("0123456789") != std::string::npos;
        *indices[k] = named[k] ? SIZE_MAX : std::stoul(column) - 1;
    }
    std::size_t count = 0;
    const bool split = VisitFields(text, settings.delimiter, [&](const FieldSpan& field) {
        if (!named[0] && !named[1]) return;
        const std::string name = TrimmedFieldValue(text, field);
        for (int k = 0; k < 2; ++k)
            if (named[k] && *indices[k] == SIZE_MAX && SameFieldName(name, file.options.columns[k]))
                *indices[k] = count;
    }, count);
    if (!split) return file.Stop(first.lineNumber, QuoteMessage(count + 1));
    for (int k = 0; k < 2; ++k) {
        if (!named[k]) continue;
        if (*indices[k] == SIZE_MAX) return file.Stop(first.lineNumber, ColumnNotFoundMessage(file.options.columns[k]));
        header = true;
    }
    // A name and a number of the same field pass the option check, which has no header:
    // the same command-line fault, found here, so the same exit status.
    if (settings.xField == settings.yField)
        return file.Stop(first.lineNumber, SameFieldInHeaderMessage(file.options.columns[0], file.options.columns[1],
                                                                    settings.xField + 1),
                         kBadCommandLineStatus);
    const std::size_t needed = std::max(settings.xField, settings.yField) + 1;
    std::vector<FieldSpan> fields;
    std::size_t problem = 0;
    // The map formats name their points and properties by the header's fields: only they
    // (and --name) need every field's name.
    const bool allNames = settings.map != nullptr || file.options.nameField.has_value();
    SplitFields(text, settings.delimiter, fields, problem, allNames ? SIZE_MAX : needed);
    std::vector<std::string> names;
    if (allNames)
        for (const FieldSpan& field : fields) names.push_back(TrimmedFieldValue(text, field));
    std::optional<std::size_t> nameField;
    if (file.options.nameField && !FindNameField(*file.options.nameField, names, nameField, header))
        return file.Stop(first.lineNumber, ColumnNotFoundMessage(*file.options.nameField));
    // A number written with a decimal comma is data too, with or without --decimal-comma:
    // taken as a header it would hide the first point. So is an angle in degrees, minutes
    // and seconds where the input is geographic.
    std::string scratch;
    for (std::size_t index : {settings.xField, settings.yField}) {
        if (index >= fields.size()) continue;
        const std::string value = TrimmedFieldValue(text, fields[index]);
        if (!IsNumber(value) && !DecimalCommaNumber(value, scratch) &&
            !LooksLikeAngle(settings, value, index == settings.xField))
            header = true;
    }
    SetMapFields(settings, header ? names : std::vector<std::string>(), nameField);
    if (!header) return file.HandOverLines(RecordLines{});

    // The header, and any blank lines before it, go out first.
    ReadyText headerLines;
    if (!settings.map) headerLines.text.assign(file.buffer, 0, first.begin);
    if (needed > count) {
        headerLines.stop = BlockStop{first.lineNumber, FieldMissingMessage(needed, count)};
        if (file.NewBlock(std::move(headerLines)) != nullptr) file.pipeline.Publish();
        return false;
    }
    const bool toGeographic = settings.to ? InfoOf(*settings.to).geographic : settings.mode == TM2ToGeographic;
    if (!settings.map) {
        AppendRecord(headerLines.text, text, fields, settings, toGeographic ? "longitude" : "easting",
                     toGeographic ? "latitude" : "northing");
        const std::string_view ending(file.buffer.data() + first.end, first.next - first.end);
        headerLines.text += ending.empty() ? std::string_view("\n") : ending;
    }
    if (file.NewBlock(std::move(headerLines)) == nullptr) return false;
    file.bufferLine = first.lineNumber + 1;
    file.Drop(first.next);
    file.pipeline.Publish();
    return file.HandOverLines(RecordLines{});
}
