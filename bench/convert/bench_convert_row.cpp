// Where a converted row's time goes: nanoseconds per call of each step kartovel-convert
// takes for one pair, on values spread over Taiwan's grid and its longitude/latitude box.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "geodesy/ellipsoid.h"
#include "text/conversion.h"
#include "text/number_text.h"
#include "text/table_value.h"

struct Pair {
    double x, y;
};

// Pairs as a batch file gives them: centimetres on the grid, nine decimals in degrees.
static std::vector<Pair> Pairs(ConversionMode mode)
{
    std::mt19937_64 random(mode == TM2ToGeographic ? 3 : 4);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Pair> pairs;
    for (int i = 0; i < 4096; ++i) {
        if (mode == TM2ToGeographic)
            pairs.push_back({std::round((150000 + 200000 * unit(random)) * 100) / 100,
                             std::round((2400000 + 400000 * unit(random)) * 100) / 100});
        else
            pairs.push_back({std::round((119.5 + 3 * unit(random)) * 1e9) / 1e9,
                             std::round((21.5 + 4 * unit(random)) * 1e9) / 1e9});
    }
    return pairs;
}

// Results as the projections give them: extended values with all 64 bits in use.
static std::vector<Extended> Results(Extended low, Extended high)
{
    std::mt19937_64 random(5);
    std::vector<Extended> values;
    for (int i = 0; i < 4096; ++i)
        values.push_back(low + (high - low) * (static_cast<Extended>(random()) / 18446744073709551616.0L));
    return values;
}

// The table text of every number read: GeneralFormat precision 15 of a double.
static void BM_CellText(benchmark::State& state)
{
    const std::vector<Pair> pairs = Pairs(static_cast<ConversionMode>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BatchCellText(pairs[i].x));
        i = (i + 1) % pairs.size();
    }
}
BENCHMARK(BM_CellText)->Arg(TM2ToGeographic)->Arg(GeographicToTM2);

// The table text read back.
static void BM_NumberFromText(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (const Pair& pair : Pairs(static_cast<ConversionMode>(state.range(0))))
        texts.push_back(BatchCellText(pair.y));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NumberFromText(texts[i]));
        i = (i + 1) % texts.size();
    }
}
BENCHMARK(BM_NumberFromText)->Arg(TM2ToGeographic)->Arg(GeographicToTM2);

// The four result formats of a line: longitude 8, latitude 7, easting 8, northing 9.
static void BM_ResultFormat(benchmark::State& state)
{
    const int precision = static_cast<int>(state.range(0));
    const std::vector<Extended> values = precision == 8 ? Results(119.5L, 122.5L)
                                       : precision == 7 ? Results(21.5L, 25.5L)
                                                        : Results(2400000, 2800000);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GeneralFormat(values[i], precision));
        i = (i + 1) % values.size();
    }
}
BENCHMARK(BM_ResultFormat)->Arg(8)->Arg(7)->Arg(9);

// The result line from the two table texts: parsing, projecting, formatting.
static void BM_ResultLine(benchmark::State& state)
{
    const ConversionMode mode = static_cast<ConversionMode>(state.range(0));
    std::vector<std::pair<std::string, std::string>> texts;
    for (const Pair& pair : Pairs(mode))
        texts.emplace_back(BatchCellText(pair.x), BatchCellText(pair.y));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BatchResultLine(mode, kGRS80, texts[i].first, texts[i].second));
        i = (i + 1) % texts.size();
    }
}
BENCHMARK(BM_ResultLine)->Arg(TM2ToGeographic)->Arg(GeographicToTM2);

// A whole row as the converter's threads do it, appended to a block's buffer.
static void BM_Row(benchmark::State& state)
{
    const ConversionMode mode = static_cast<ConversionMode>(state.range(0));
    const std::vector<Pair> pairs = Pairs(mode);
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        AppendBatchResultLine(out, mode, kGRS80, BatchCellText(pairs[i].x), BatchCellText(pairs[i].y));
        out += '\n';
        if (++i == pairs.size()) {
            i = 0;
            out.clear();
        }
    }
}
BENCHMARK(BM_Row)->Arg(TM2ToGeographic)->Arg(GeographicToTM2);

// The y numbers of the benchmark's pairs as a file writes them: northings to the
// centimetre, latitudes to nine decimals.
static std::vector<std::string> YTexts(ConversionMode mode)
{
    std::vector<std::string> texts;
    char text[40];
    for (const Pair& pair : Pairs(mode)) {
        std::snprintf(text, sizeof text, mode == TM2ToGeographic ? "%.2f" : "%.9f", pair.y);
        texts.emplace_back(text);
    }
    return texts;
}

// A number text to the value the row converts: the road through the 15-digit table text
// (reading the double, formatting, parsing back) against TableValue, which skips the text
// where that changes nothing.
static void BM_ValueThroughTableText(benchmark::State& state)
{
    const std::vector<std::string> texts = YTexts(static_cast<ConversionMode>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NumberFromText(BatchCellText(BatchNumberValue(texts[i]))));
        i = (i + 1) % texts.size();
    }
}
BENCHMARK(BM_ValueThroughTableText)->Arg(TM2ToGeographic)->Arg(GeographicToTM2);

static void BM_TableValue(benchmark::State& state)
{
    const std::vector<std::string> texts = YTexts(static_cast<ConversionMode>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TableValue(texts[i]));
        i = (i + 1) % texts.size();
    }
}
BENCHMARK(BM_TableValue)->Arg(TM2ToGeographic)->Arg(GeographicToTM2);
