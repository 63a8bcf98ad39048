#pragma once
// Loading a large batch file on several threads, for the common case of a file that
// reads cleanly to its end.
#include <optional>
#include <string_view>
#include <vector>

#include "text/batch_reader.h"

// The pairs of ReadBatchPairs(bytes), read in pieces on up to `jobs` threads, when the
// whole file reads to its end without an early stop and holds no Ctrl-Z. Otherwise (or
// when the file is too small to be worth splitting) nullopt, and the caller reads the
// file with ReadBatchPairs itself, which then also reports where and why it stopped.
//
// The pieces end just after a line feed. A number never holds whitespace, so every number
// lies within one piece; and where every piece before has read an even count of numbers
// with nothing but whitespace after them, reading the next piece from its start takes the
// same numbers into the same pairs as reading on from there. A piece that stops early
// (an odd count of numbers, or text that is not a number) ends the attempt.
// Pieces are at least minimumPieceBytes long; smaller files are left to ReadBatchPairs.
inline constexpr std::size_t kMinimumPieceBytes = 1 << 20;
std::optional<std::vector<BatchPair>> ReadBatchPairsInPieces(std::string_view bytes, unsigned jobs,
                                                             std::size_t minimumPieceBytes = kMinimumPieceBytes);
