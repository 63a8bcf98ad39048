// Reading batch files of 10^6 pairs: metre pairs with centimetres, degree pairs with
// many decimals, and the same with CR LF line ends and 17-digit numbers. The file
// is built once in memory; only ReadBatchPairs is timed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "text/batch_reader.h"

enum class Style { Metres, Degrees, SeventeenDigits };

static std::string MakeFile(Style style, long pairs)
{
    std::string file;
    file.reserve(static_cast<std::size_t>(pairs) * 40);
    char line[96];
    for (long i = 0; i < pairs; ++i) {
        int n = 0;
        switch (style) {
        case Style::Metres:
            n = std::snprintf(line, sizeof line, "%.2f %.2f\n", 150000 + static_cast<double>(i * 7919 % 200000) * 0.37,
                              2400000 + static_cast<double>(i * 104729 % 400000) * 0.83);
            break;
        case Style::Degrees:
            n = std::snprintf(line, sizeof line, "%.9f %.9f\n", 120.0 + static_cast<double>(i % 100000) * 1.7e-5,
                              22.0 + static_cast<double>(i % 300000) * 1.1e-5);
            break;
        case Style::SeventeenDigits:
            n = std::snprintf(line, sizeof line, "%.16e\t%.16e\r\n", 247342.0 + static_cast<double>(i) * 0.123456789,
                              2652335.0 - static_cast<double>(i) * 0.987654321);
            break;
        }
        file.append(line, static_cast<std::size_t>(n));
    }
    return file;
}

static void ReadMillionPairs(benchmark::State& state, Style style)
{
    const long pairs = 1000000;
    const std::string file = MakeFile(style, pairs);
    for (auto _ : state) {
        BatchReadResult r = ReadBatchPairs(file);
        if (r.pairs.size() != static_cast<std::size_t>(pairs) || r.stoppedEarly) state.SkipWithError("file misread");
        benchmark::DoNotOptimize(r.pairs.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
    state.counters["MB"] = static_cast<double>(file.size()) / 1e6;
}

BENCHMARK_CAPTURE(ReadMillionPairs, metres, Style::Metres)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadMillionPairs, degrees, Style::Degrees)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadMillionPairs, seventeen_digits_crlf, Style::SeventeenDigits)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
