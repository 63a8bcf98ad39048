// Long lines through the whole converter (reading, blocks, pipeline), run by hand:
//   build/bench/convert/bench_long_lines
// - the time of one record line of N bytes, up to the line limit, grows as N (each byte
//   is looked at a bounded number of times; the fitted complexity is printed);
// - a line far beyond the limit costs the same as one just beyond it: reading stops there;
// - the peak memory of a 32 MB line of 16 M fields, in a child process, is printed first.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "convert/convert_run.h"
#include "convert/input_file.h"

namespace {

// A file holding one line: a pair of fields, then "1," up to `bytes` bytes.
std::string WriteLine(std::size_t bytes)
{
    char path[] = "/tmp/kartovel_long_line_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "";
    std::string line = "247342,2652335,";
    line.reserve(bytes + 1);
    while (line.size() + 2 <= bytes) line += "1,";
    line += '\n';
    const bool written = write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    close(fd);
    return written ? path : "";
}

int ConvertRecords(const std::string& path)
{
    ConvertOptions options;
    options.records = true;
    options.files = {path};
    std::FILE* out = std::fopen("/dev/null", "w");
    std::FILE* err = std::fopen("/dev/null", "w");
    const int status = ConvertInputs(options, 1, out, err);
    std::fclose(out);
    std::fclose(err);
    return status;
}

void LongLine(benchmark::State& state)
{
    const std::string path = WriteLine(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(ConvertRecords(path));
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    unlink(path.c_str());
}
BENCHMARK(LongLine)->RangeMultiplier(2)->Range(64 << 10, kLineLimitBytes)->Complexity(benchmark::oN);

void LineBeyondTheLimit(benchmark::State& state)
{
    const std::string path = WriteLine(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(ConvertRecords(path));
    unlink(path.c_str());
}
BENCHMARK(LineBeyondTheLimit)->RangeMultiplier(4)->Range(2 << 20, 128 << 20)->Unit(benchmark::kMillisecond);

// The peak resident memory of converting a 32 MB line of 16 M fields, in a child so that
// nothing else counts.
void PrintPeakMemory()
{
    const std::string path = WriteLine(std::size_t{32} << 20);
    const pid_t pid = fork();
    if (pid == 0) _exit(ConvertRecords(path));
    int status = 0;
    waitpid(pid, &status, 0);
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    std::printf("peak memory, a 32 MB line of 16 M fields (--columns 1,2): %ld KiB, exit status %d\n",
                usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    unlink(path.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    PrintPeakMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
