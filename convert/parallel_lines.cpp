#include "parallel_lines.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <limits>
#include <thread>

#include "geodesy/floating_point.h"
#include "text/number_text.h"

// Room for one typical line ("120.97388 23.97564\n", "247252.33 2651709.99\n") and a
// little more, so that a block's buffer is allocated once.
static constexpr std::size_t kTypicalLineBytes = 24;

// What the threads of one run share. Blocks are claimed in increasing order, so when a
// block fails every block before it has been claimed and will be finished.
struct LineRun {
    ConversionMode mode;
    const Ellipsoid& ellipsoid;
    std::span<const BatchPair> pairs;
    std::vector<std::string>& blocks;
    std::vector<std::optional<LineFailure>>& failures;
    std::atomic<std::size_t> nextBlock{0};
    std::atomic<std::size_t> firstFailedBlock{std::numeric_limits<std::size_t>::max()};
};

static bool ParsesBack(const std::string& text)
{
    try {
        NumberFromText(text);
        return true;
    } catch (const ParseError&) {
        return false;
    }
}

static void ConvertBlock(LineRun& run, std::size_t block)
{
    // The same environment for every block, whichever thread converts it and whatever
    // that thread converted before.
    ResetFloatingPointEnvironment();
    const std::size_t first = block * kPairsPerBlock;
    const std::size_t last = std::min(first + kPairsPerBlock, run.pairs.size());
    std::string& out = run.blocks[block];
    out.reserve((last - first) * kTypicalLineBytes);
    for (std::size_t i = first; i < last; ++i) {
        // The table texts of the row, as loading the file into the batch page writes them.
        const std::string xText = BatchCellText(run.pairs[i].x);
        const std::string yText = BatchCellText(run.pairs[i].y);
        try {
            AppendBatchResultLine(out, run.mode, run.ellipsoid, xText, yText);
            out += '\n';
        } catch (const std::exception& error) {
            const bool yRefused = dynamic_cast<const ParseError*>(&error) != nullptr && ParsesBack(xText);
            run.failures[block] = LineFailure{i, yRefused, error.what()};
            std::size_t expected = run.firstFailedBlock.load();
            while (block < expected && !run.firstFailedBlock.compare_exchange_weak(expected, block)) {
            }
            return;
        }
    }
}

static void Work(LineRun& run)
{
    for (;;) {
        const std::size_t block = run.nextBlock.fetch_add(1);
        if (block >= run.blocks.size() || block > run.firstFailedBlock.load(std::memory_order_relaxed))
            return;
        ConvertBlock(run, block);
    }
}

PairLines ConvertPairLines(ConversionMode mode, const Ellipsoid& ellipsoid,
                           std::span<const BatchPair> pairs, unsigned jobs)
{
    const std::size_t blockCount = (pairs.size() + kPairsPerBlock - 1) / kPairsPerBlock;
    std::vector<std::string> blocks(blockCount);
    std::vector<std::optional<LineFailure>> failures(blockCount);
    LineRun run{mode, ellipsoid, pairs, blocks, failures};

    const std::size_t threadCount = std::min<std::size_t>(std::max(jobs, 1u), blockCount);
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threadCount; ++t)
        helpers.emplace_back(Work, std::ref(run));
    Work(run);
    for (std::thread& helper : helpers)
        helper.join();

    PairLines result;
    const std::size_t failedBlock = run.firstFailedBlock.load();
    if (failedBlock < blockCount) {
        result.failure = std::move(failures[failedBlock]);
        blocks.resize(failedBlock + 1);
    }
    result.blocks = std::move(blocks);
    return result;
}
