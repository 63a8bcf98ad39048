// The pipeline and the number road inside the converter, called directly.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <unistd.h>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "convert/convert_run.h"
#include "convert/ordered_pipeline.h"
#include "geodesy/floating_point.h"
#include "text/batch_reader.h"
#include "text/conversion.h"
#include "text/number_text.h"
#include "text/table_value.h"

static std::string ShowExtended(Extended x)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", x);
    return buffer;
}

static std::string ReadBack(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    return text;
}

// Starts `allowed` threads, then fails as a process at its thread limit does.
static int gThreadsAllowed = 0;
static std::thread StartSomeThreads(std::function<void()> work)
{
    if (gThreadsAllowed-- <= 0)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    return std::thread(std::move(work));
}

// A pipeline stage that does nothing: only the pipeline's threads are looked at.
struct IdleStage final : PipelineStage<int> {
    void Reset(int&) noexcept override {}
    void Do(int&) noexcept override {}
    bool Write(int&) override { return true; }
    int Flush() noexcept override { return 0; }
    void ReportFlushFailed(int) noexcept override {}
    void ReportOutOfMemory() noexcept override {}
};

// A thread that cannot start means fewer workers, down to none, never an abort; the
// output is the same whatever number started.
TEST(OrderedPipeline, ThreadsThatCannotStart)
{
    std::string input;
    std::string expected;
    for (int i = 0; i < 60000; ++i) {
        const std::string x = std::to_string(150000 + i * 3) + ".25";
        const std::string y = std::to_string(2400000 + i * 5) + ".5";
        input += x + " " + y + "\n";
        expected += BatchResultLine(TM2ToGeographic, kGRS80, x, y) + "\n";
    }
    char path[] = "/tmp/kartovel_stream_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(fd);

    const ThreadStarter original = gStartThread;
    gStartThread = StartSomeThreads;
    for (int allowed : {0, 1, 3, 8}) {
        SCOPED_TRACE("threads that start: " + std::to_string(allowed));
        gThreadsAllowed = allowed;
        {
            IdleStage stage;
            OrderedPipeline<int> pipeline(8, stage);
            EXPECT_EQ(pipeline.Workers(), static_cast<unsigned>(allowed));
        }
        gThreadsAllowed = allowed;
        ConvertOptions options;
        options.ellipsoidIndex = 1;
        options.files = {path};
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(ConvertInputs(options, 8, out, err), 0);
        const std::string got = ReadBack(out);
        EXPECT_TRUE(got == expected) << "got " << got.size() << " bytes, expected " << expected.size();
        EXPECT_EQ(ReadBack(err), "");
        std::fclose(out);
        std::fclose(err);
    }
    gStartThread = original;
    std::remove(path);
}

// The table text's round trip is skipped only where it changes nothing: for a million
// numbers written as files hold them, the value taken without the text is the value of
// the text, bit for bit, and the scanner takes the numbers the batch-file reader takes.
TEST(TableValue, SameAsThroughTheTableText)
{
    ResetFloatingPointEnvironment();
    static const char* const kForms[] = {"%.2f", "%.3f", "%.9f", "%.5f", "%.0f",  "%.17g", "%.15g", "%.6e",
                                         "%.12e", "%.1f", "%.14g", "%.16g", "%.10f", "%g",    "%.4e"};
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> form(0, std::size(kForms) - 1);
    std::uniform_int_distribution<int> scale(-8, 17);
    std::size_t withoutText = 0;
    std::string batch;
    std::vector<std::string> texts;
    char text[64];
    for (int i = 0; i < 1000000; ++i) {
        double value;
        switch (i % 4) {
        case 0: value = 150000 + unit(random) * 200000; break;       // eastings
        case 1: value = 2400000 + unit(random) * 400000; break;      // northings
        case 2: value = 119.5 + unit(random) * 6; break;             // degrees
        default: value = unit(random) * std::pow(10.0, scale(random)) * (unit(random) < 0.5 ? -1 : 1);
        }
        std::snprintf(text, sizeof text, kForms[form(random)], value);
        const std::string_view number(text);
        ASSERT_EQ(ScanBatchNumber(number.data(), number.data() + number.size()), number.data() + number.size()) << text;
        const Extended old = NumberFromText(BatchCellText(BatchNumberValue(number)));
        Extended fast = 0;
        if (TableValueWithoutText(number, fast)) {
            ++withoutText;
            ASSERT_EQ(std::memcmp(&fast, &old, 10), 0)
                << text << ": " << ShowExtended(fast) << " without the text, " << ShowExtended(old) << " with it";
        }
        const Extended value2 = TableValue(number);
        ASSERT_EQ(std::memcmp(&value2, &old, 10), 0) << text;
        if (i < 20000) {
            batch += text;
            batch += i % 2 ? "\n" : " ";
            texts.emplace_back(text);
        }
    }
    // Most numbers take the road without the text.
    EXPECT_GT(withoutText, 700000u);
    // The same doubles as the batch-file reader.
    const BatchReadResult read = ReadBatchPairs(batch);
    ASSERT_EQ(read.pairs.size() * 2, texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const double reader = i % 2 ? read.pairs[i / 2].y : read.pairs[i / 2].x;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(reader), std::bit_cast<std::uint64_t>(BatchNumberValue(texts[i])))
            << texts[i];
    }
}

// Beyond the double range the value is infinity or zero, as the reader makes it.
TEST(TableValue, BeyondTheDoubleRange)
{
    struct Case {
        const char* text;
        double value;
    };
    const std::vector<Case> table = {
        {"1e400", INFINITY}, {"-5e308", -INFINITY}, {"1e-400", 0.0}, {"-1e-400", -0.0}, {"0.000e999", 0.0},
    };
    for (const Case& c : table) {
        const double value = BatchNumberValue(c.text);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(c.value)) << c.text;
    }
}

// -j N: N threads convert, the reading thread itself for N = 1, else N workers beside it.
TEST(OrderedPipeline, ThreadsAsAsked)
{
    for (unsigned threads : {1u, 2u, 5u, kMaximumJobs}) {
        IdleStage stage;
        OrderedPipeline<int> pipeline(threads, stage);
        EXPECT_EQ(pipeline.Workers(), threads == 1 ? 0u : threads) << "-j " << threads;
    }
}
