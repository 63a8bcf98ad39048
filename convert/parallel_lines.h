#pragma once
// The result lines of many pairs, computed on several threads and kept in input order.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "geodesy/ellipsoid.h"
#include "text/batch_reader.h"
#include "text/conversion.h"

// The pair that stopped a run, and why.
struct LineFailure {
    std::size_t pairIndex;  // index into the pairs given to ConvertPairLines
    bool yRefused;          // the y number's table text was the one that did not parse;
                            // false for the x number and for a failed projection
    std::string message;    // what() of the ParseError or FloatingPointError, as is
};

struct PairLines {
    // Together, in this order, the lines of pairs 0 .. (failure ? failure->pairIndex : all)
    // - 1, each ended by "\n". Consecutive pairs share a block.
    std::vector<std::string> blocks;
    std::optional<LineFailure> failure;  // the first pair, in input order, that failed
};

// Pairs per block: a block is the unit of work of one thread at a time and one write.
inline constexpr std::size_t kPairsPerBlock = 4096;

// Every pair becomes BatchResultLine(mode, ellipsoid, BatchCellText(x), BatchCellText(y))
// + "\n", exactly as the batch page converts a loaded row. Blocks are handed out to
// `jobs` threads (the calling thread among them; at least 1) as they finish, so a busy
// core does not hold the others up; the result does not depend on `jobs`. Each thread
// computes in its own floating-point environment, set to the program's defaults. When a
// pair fails the run stops there: no line after it is kept, and every pair before it
// has its line.
PairLines ConvertPairLines(ConversionMode mode, const Ellipsoid& ellipsoid,
                           std::span<const BatchPair> pairs, unsigned jobs);
