// A block converted by itself: its pairs found on its lines (or taken from the reader),
// each point converted as the batch page converts a table row, the result lines appended.
#include "convert/block.h"

#include <string_view>
#include <vector>

#include "convert/messages.h"
#include "convert/point_converter.h"
#include "convert/record_lines.h"
#include "geodesy/floating_point.h"
#include "geodesy/projection.h"
#include "text/batch_file.h"
#include "text/batch_reader.h"
#include "text/number_text.h"
#include "text/table_value.h"
#include "text/taiwan_area.h"

void Block::Reset() noexcept
{
    content = PairLines{};
    fileName.reset();
    firstLine = 1;
    input.clear();
    output.clear();
    stop.reset();
    outOfMemory = false;
    outside = 0;
    firstOutsideLine = 0;
    leading.clear();
    latitudeFirst = 0;
    mapPoints.clear();
    wrongZone = 0;
    firstWrongZoneLine = 0;
}

bool PointConverter::Convert(std::string_view x, std::size_t xLine, std::string_view y, std::size_t yLine,
                             PointResultTexts& texts)
{
    Extended a, b;
    return Value(x, xLine, a) && Value(y, yLine, b) && ConvertValues(a, b, xLine, texts);
}

bool PointConverter::Value(std::string_view number, std::size_t line, Extended& value)
{
    try {
        value = TableValue(number);
        return true;
    } catch (const ParseError& error) {
        block_.stop = BlockStop{line, error.what()};
        return false;
    }
}

bool PointConverter::ConvertValues(Extended a, Extended b, std::size_t xLine, PointResultTexts& texts)
{
    try {
        if (settings_.from) {
            CrsResult result;
            if (ConvertCrsPoint(*settings_.from, *settings_.to, a, b, result) != PointStep::Converted) {
                block_.stop = BlockStop{xLine, NoTWD67Message(result.region)};
                return false;
            }
            FormatResult(InfoOf(*settings_.to).geographic, settings_.fullPrecision || settings_.map, result.x,
                         result.y, texts.first, texts.second);
            if (result.wrongZone && block_.wrongZone++ == 0)
                block_.firstWrongZoneLine = xLine;
        } else if (settings_.fullPrecision || settings_.map) {
            const PointResultValues values = ComputeResultValues(settings_.mode, *settings_.ellipsoid, a, b);
            FormatResult(settings_.mode == TM2ToGeographic, true, values.first, values.second, texts.first,
                         texts.second);
        } else {
            ComputeResultTexts(settings_.mode, *settings_.ellipsoid, a, b, texts);
        }
    } catch (const FloatingPointError& error) {
        block_.stop = BlockStop{xLine, error.what()};
        return false;
    }
    if (FitTaiwanArea(settings_.mode, a, b) != AreaFit::Inside) {
        if (block_.outside++ == 0)
            block_.firstOutsideLine = xLine;
        block_.latitudeFirst += FitTaiwanArea(GeographicToTM2, a, b) == AreaFit::InsideWhenSwapped;
    }
    return true;
}

namespace {

void ConvertPairLines(const ConversionSettings& settings, Block& block)
{
    PointConverter converter(settings, block);
    PointResultTexts texts;
    std::vector<std::string_view> numbers;
    const char* p = block.input.data();
    const char* const end = p + block.input.size();
    // Appends the lines of the pairs numbers[0, 1], [2, 3], ...; false when one failed.
    auto convertPairs = [&](std::size_t line) {
        for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
            if (!converter.Convert(numbers[i], line, numbers[i + 1], line, texts))
                return false;
            if (settings.map) {
                block.mapPoints.push_back({line, texts.first, texts.second, {}});
                continue;
            }
            AppendResultTexts(block.output, texts);
            block.output += '\n';
        }
        return true;
    };
    for (std::size_t line = block.firstLine; p != end; ++line) {
        const LineSpan span = FindLineEnd(p, end);
        numbers.clear();
        const char* q = p;
        for (;;) {
            while (q != span.end && IsLineBlank(*q)) ++q;
            if (q == span.end) break;
            const char* numberEnd = ScanBatchNumber(q, span.end);
            if (numberEnd == q) {
                // Text that is not a number stops reading as it stops the batch-file
                // reader: the pairs before it are converted, and the message shows the
                // pair that could not be read.
                const char* place = numbers.size() % 2 == 1 ? numbers.back().data() : q;
                const char* begin = block.input.data();
                if (convertPairs(line))
                    block.stop = BlockStop{line, CannotReadPairMessage(block.input, static_cast<std::size_t>(place - begin),
                                                                static_cast<std::size_t>(q - begin), block.firstLine == 1)};
                return;
            }
            numbers.emplace_back(q, numberEnd - q);
            q = numberEnd;
        }
        if (numbers.size() == 2) {
            if (!convertPairs(line))
                return;
        } else if (!numbers.empty()) {
            block.stop = BlockStop{line, LineCountMessage(numbers.size(), false)};
            return;
        }
        p = span.next;
    }
}

void ConvertFoundPairs(const ConversionSettings& settings, const FoundPairs& found, Block& block)
{
    PointConverter converter(settings, block);
    PointResultTexts texts;
    const std::string_view input = block.input;
    for (std::size_t i = 0; i + 1 < found.numbers.size(); i += 2) {
        const NumberPlace& x = found.numbers[i];
        const NumberPlace& y = found.numbers[i + 1];
        if (!converter.Convert(input.substr(x.begin, x.end - x.begin), x.line, input.substr(y.begin, y.end - y.begin),
                               y.line, texts))
            return;
        if (settings.map) {
            block.mapPoints.push_back({x.line, texts.first, texts.second, {}});
            continue;
        }
        AppendResultTexts(block.output, texts);
        block.output += '\n';
    }
    block.stop = found.stop;
}

}  // namespace

void ConvertBlock(Block& block) noexcept
{
    const ConversionSettings& settings = block.settings;
    // A block converted again after running out of memory starts afresh.
    block.output.clear();
    block.stop.reset();
    block.outOfMemory = false;
    block.outside = 0;
    block.firstOutsideLine = 0;
    block.latitudeFirst = 0;
    block.mapPoints.clear();
    block.wrongZone = 0;
    block.firstWrongZoneLine = 0;
    // The same environment for every block, whichever thread converts it.
    ResetFloatingPointEnvironment();
    try {
        block.output = block.leading;
        if (std::holds_alternative<PairLines>(block.content)) {
            // Room for the typical line ("120.97388 23.97564\n" for "247342.50 2652335.00\n").
            block.output.reserve(block.input.size() + block.input.size() / 4);
            ConvertPairLines(settings, block);
        } else if (const auto* found = std::get_if<FoundPairs>(&block.content)) {
            block.output.reserve(found->numbers.size() * 12);
            ConvertFoundPairs(settings, *found, block);
        } else if (std::holds_alternative<RecordLines>(block.content)) {
            block.output.reserve(block.input.size() * 2);
            ConvertRecordLines(settings, block);
        } else if (const auto* ready = std::get_if<ReadyText>(&block.content)) {
            block.output += ready->text;
            block.stop = ready->stop;
        }
    } catch (...) {
        // Only memory can run out here: the number texts' errors are caught where they
        // arise and become the block's stop.
        block.output.clear();
        block.stop.reset();
        block.outOfMemory = true;
    }
}

