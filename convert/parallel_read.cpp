#include "parallel_read.h"

#include <algorithm>
#include <cstring>
#include <thread>

std::optional<std::vector<BatchPair>> ReadBatchPairsInPieces(std::string_view bytes, unsigned jobs,
                                                             std::size_t minimumPieceBytes)
{
    const std::size_t pieceCount =
        std::min<std::size_t>(std::max(jobs, 1u), bytes.size() / std::max<std::size_t>(minimumPieceBytes, 1));
    if (pieceCount < 2 || std::memchr(bytes.data(), 26, bytes.size()) != nullptr)
        return std::nullopt;

    // Piece k ends just after the first line feed at or beyond k/pieceCount of the bytes.
    std::vector<std::size_t> ends;
    std::size_t start = 0;
    for (std::size_t k = 1; k < pieceCount; ++k) {
        const std::size_t target = std::max(start, bytes.size() / pieceCount * k);
        const std::size_t lineFeed = bytes.find('\n', target);
        if (lineFeed == std::string_view::npos)
            break;
        ends.push_back(lineFeed + 1);
        start = lineFeed + 1;
    }
    ends.push_back(bytes.size());

    std::vector<BatchReadResult> pieces(ends.size());
    auto readPiece = [&](std::size_t k) {
        const std::size_t first = k == 0 ? 0 : ends[k - 1];
        pieces[k] = ReadBatchPairs(bytes.substr(first, ends[k] - first));
    };
    std::vector<std::thread> helpers;
    for (std::size_t k = 1; k < pieces.size(); ++k)
        helpers.emplace_back(readPiece, k);
    readPiece(0);
    for (std::thread& helper : helpers)
        helper.join();

    std::size_t total = 0;
    for (const BatchReadResult& piece : pieces) {
        if (piece.stoppedEarly)
            return std::nullopt;
        total += piece.pairs.size();
    }
    std::vector<BatchPair> pairs;
    pairs.reserve(total);
    for (const BatchReadResult& piece : pieces)
        pairs.insert(pairs.end(), piece.pairs.begin(), piece.pairs.end());
    return pairs;
}
