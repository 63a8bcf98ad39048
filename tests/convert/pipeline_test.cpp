// The converter's ordered pipeline and its threads, called directly.
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>
#include <string>
#include <system_error>
#include <vector>

#include "convert/convert_run.h"
#include "convert/ordered_pipeline.h"
#include "text/conversion.h"

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
static OwnedThread StartSomeThreads(std::function<void()> work)
{
    if (gThreadsAllowed-- <= 0)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    return OwnedThread(std::move(work));
}

// A pipeline stage that does nothing: only the pipeline's threads are looked at.
struct IdleStage final : PipelineStage<int> {
    void Reset(int&) noexcept override {}
    bool Do(int&) noexcept override { return true; }
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


// -j N: N threads convert, the reading thread itself for N = 1, else N workers beside it.
TEST(OrderedPipeline, ThreadsAsAsked)
{
    for (unsigned threads : {1u, 2u, 5u, kMaximumJobs}) {
        IdleStage stage;
        OrderedPipeline<int> pipeline(threads, stage);
        EXPECT_EQ(pipeline.Workers(), threads == 1 ? 0u : threads) << "-j " << threads;
    }
}

// A stage whose jobs each run out of memory once: the worker that ran one stops (the
// last one never does), and the job is done again when it is written.
TEST(OrderedPipeline, WorkersThatRunOutOfMemoryStop)
{
    struct ShortOfMemory final : PipelineStage<int> {
        std::vector<int> written;
        void Reset(int&) noexcept override {}
        bool Do(int& job) noexcept override { return job++ > 0; }
        bool Write(int& job) override
        {
            if (job == 1) Do(job);
            written.push_back(job);
            return true;
        }
        int Flush() noexcept override { return 0; }
        void ReportFlushFailed(int) noexcept override {}
        void ReportOutOfMemory() noexcept override {}
    } stage;
    {
        OrderedPipeline<int> pipeline(4, stage);
        for (int i = 0; i < 20; ++i) {
            int* job = pipeline.Acquire();
            ASSERT_NE(job, nullptr);
            *job = 0;
            pipeline.Publish();
        }
        EXPECT_EQ(pipeline.Finish(), 0);
        EXPECT_EQ(pipeline.ActiveWorkers(), 1u);
    }
    EXPECT_EQ(stage.written, std::vector<int>(20, 2));
}
