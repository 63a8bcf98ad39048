#pragma once
// The batch input file: whitespace-separated decimal numbers taken two by two as
// (x, y) pairs, "." as the decimal point whatever DecimalMark is.
//
// A number: optional sign, digits with an optional ".", at least one digit, optional
// exponent ("e"/"E", optional sign, at least one digit). Each becomes the nearest
// double; beyond the double range it becomes infinity with its sign, below it zero.
// The text ends at the end of the bytes or at the first byte 26 (Ctrl-Z). Reading
// stops at the first place where no number can be read; a pair missing its second
// number is dropped.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct BatchPair {
    double x;
    double y;
};

struct BatchReadResult {
    std::vector<BatchPair> pairs;
    // True when reading stopped before the end of the text (before Ctrl-Z or the end of
    // the bytes): unreadable text, an exponent without digits, or a lone last number.
    bool stoppedEarly = false;
    std::size_t stopOffset = 0;  // byte offset of the place where reading stopped
    std::size_t stopLine = 0;    // its 1-based line number (LF, CR LF or a lone CR end a line)
    std::string stopExcerpt;     // a short excerpt of the text found there, printable
};

BatchReadResult ReadBatchPairs(std::string_view bytes);
