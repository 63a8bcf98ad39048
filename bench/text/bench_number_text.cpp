// Nanoseconds per call of the number text rules on coordinates of Taiwan's range, the
// values a batch load and a batch computation format and read by the million.
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "text/number_text.h"

// Eastings, northings, longitudes and latitudes in turn, all with a fraction.
static std::vector<Extended> Coordinates()
{
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Extended> values;
    for (int i = 0; i < 4096; ++i) {
        const Extended u = unit(random);
        switch (i % 4) {
        case 0: values.push_back(150000 + 200000 * u); break;
        case 1: values.push_back(2400000 + 400000 * u); break;
        case 2: values.push_back(119 + 3 * u); break;
        default: values.push_back(21 + 5 * u); break;
        }
    }
    return values;
}

static void GeneralFormatAt(benchmark::State& state, int precision, const std::vector<Extended>& values)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GeneralFormat(values[i], precision));
        i = (i + 1) % values.size();
    }
}

static void BM_GeneralFormat15(benchmark::State& state)
{
    GeneralFormatAt(state, 15, Coordinates());
}
BENCHMARK(BM_GeneralFormat15);

static void BM_GeneralFormat9(benchmark::State& state)
{
    GeneralFormatAt(state, 9, Coordinates());
}
BENCHMARK(BM_GeneralFormat9);

// Values outside the integer digit path (below 10^-6, above 10^44) take the C library's
// exact conversion.
static void BM_GeneralFormat15Far(benchmark::State& state)
{
    std::vector<Extended> values = Coordinates();
    for (Extended& v : values)
        v *= 1e-300L;
    GeneralFormatAt(state, 15, values);
}
BENCHMARK(BM_GeneralFormat15Far);

static void BM_NumberFromText(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (Extended v : Coordinates())
        texts.push_back(GeneralFormat(v, 15));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NumberFromText(texts[i]));
        i = (i + 1) % texts.size();
    }
}
BENCHMARK(BM_NumberFromText);

static void BM_FormatDms(benchmark::State& state)
{
    const std::vector<Extended> values = Coordinates();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatDms(values[i]));
        i = (i + 1) % values.size();
    }
}
BENCHMARK(BM_FormatDms);
