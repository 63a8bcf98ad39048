#pragma once
// The batch input file: whitespace-separated decimal numbers taken two by two as
// (x, y) pairs, "." as the decimal point whatever DecimalMark is.
//
// The bytes are read as single-byte characters; no locale is consulted.
//
// Whitespace: space, tab, LF, VT, FF, CR.
//
// A number: optional sign, digits with an optional ".", at least one digit, optional
// exponent ("e"/"E", optional sign, at least one digit). Each becomes the nearest
// double (correctly rounded, ties to even, however many digits are written). Beyond
// the double range it becomes infinity with its sign (1e400, and also 5e308 or
// anything that rounds past the largest double); below the smallest subnormal it
// becomes zero with its sign (1e-400 gives 0, -1e-400 gives -0).
//
// A number ends at the first character that cannot continue it, and the next number
// may start right there:
//   "12-3"  -> 12, -3         "1..2"  -> 1, 0.2       "1e2.5" -> 100, 0.5
//   "1.e5"  -> 100000         "-.5"   -> -0.5         "+7"    -> 7
// Not a number (reading stops there):
//   "." or "+" or "-" alone, a sign followed by anything but a digit or ".";
//   "e5" (a letter cannot start a number);
//   an exponent marker with no digit after it: "1e", "1e 2", "1e+", "1E-x". The whole
//   "1e" is unreadable, including when it is the last thing in the file; it is never
//   read as 1 followed by a stray "e".
//
// The file ends at the end of the bytes or at the first byte 26 (Ctrl-Z), whichever
// comes first; nothing after a Ctrl-Z is looked at. A UTF-8 byte-order mark (EF BB BF)
// as the very first bytes is not data and is passed over; offsets and lines still count
// it as the file's first bytes. Reading stops at the first place where no number can
// be read: the end of the file, or a byte that cannot start a number (a letter, a
// comma, a semicolon, a control character, any byte above 127 such as a double-byte
// space or a byte-order mark anywhere but at the start), or an exponent without
// digits. Every complete pair before that place is loaded; a pair whose second number
// is missing or unreadable is dropped.
//
// Linear in the length of the bytes; the only allocations are the growing pair
// vector and the short excerpt. Thread-safe (no shared state).
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/batch_file.h"

struct BatchPair {
    double x;  // easting (m) or longitude (degrees): the first number of the pair
    double y;  // northing (m) or latitude (degrees): the second number
};

struct BatchReadResult {
    // The pairs read, in file order; without a receiver all of them, with one only those
    // read after its last call.
    std::vector<BatchPair> pairs;
    // The count of all pairs read, those handed to a receiver included.
    std::size_t pairCount = 0;
    // True when reading stopped before the end of the file: unreadable bytes, an
    // exponent without digits, or a lone last number. False when everything up to the
    // end of the bytes, or up to the first Ctrl-Z, was read (whitespace after the last
    // number included), also when no number at all was there.
    bool stoppedEarly = false;
    // Where the first pair that was not loaded begins: the first byte of its first
    // number when that number was read but its partner was missing or unreadable
    // (so "1 2 3" stops at the "3", "3,4" at the "3"), otherwise the first byte,
    // after whitespace, where no number could be read. When nothing stopped early it is
    // the end of the file (the offset of the Ctrl-Z, or the length of the bytes).
    // Reading bytes.substr(0, stopOffset) again gives the same pairs and no early stop.
    std::size_t stopOffset = 0;
    // The 1-based line of stopOffset. LF, CR LF and a lone CR each end one line.
    std::size_t stopLine = 1;
    // ReadableExcerpt(bytes, stopOffset) (batch_file.h): the text there, up to its line
    // end, as a message quotes it. Empty exactly when nothing stopped early, since an
    // early stop is never at whitespace.
    std::string stopExcerpt;
    // Where exactly no number could be read when reading stopped early: the first byte,
    // after whitespace, of the unreadable text; for a lone last number, the end of the
    // file. Equal to stopOffset unless the pair's first number was read. Equal to
    // stopOffset when nothing stopped early.
    std::size_t unreadableOffset = 0;

    // How the numbers sit on the lines. Pairs are taken two numbers at a time whatever
    // the lines, so a file whose lines do not each hold one pair may load x and y mixed
    // up (an ID or a height column). Lines holding no number are not counted. The
    // pattern is set by the first line with numbers: one pair a line, or (the old
    // layout) one number a line. It is broken by the first line holding more numbers
    // than that (more than two on the first line), or fewer than the lines before it
    // (a pair starting on one line and ending on the next). The numbers counted are
    // those of the loaded pairs, and the unpartnered number of a dropped pair when it
    // stands on a line with loaded numbers.
    //
    // The 1-based line that breaks the pattern, 0 when nothing breaks it.
    std::size_t layoutBreakLine = 0;
    // The count of numbers on that line, up to where reading stopped.
    std::size_t layoutBreakNumbers = 0;
    // The numbers each line before it holds, 1 or 2; 0 when it is the first line with
    // numbers.
    std::size_t layoutNumbersPerLine = 0;
};

BatchReadResult ReadBatchPairs(std::string_view bytes);

// Takes the pairs of a large file while it is read, so that they can be converted and
// progress shown in slices without ever holding all of them: called with each
// kBatchPairsHandedOver pairs, in file order, and the count of bytes read so far.
using BatchPairReceiver = std::function<void(std::span<const BatchPair> pairs, std::size_t bytesRead)>;
inline constexpr std::size_t kBatchPairsHandedOver = 32768;

// As ReadBatchPairs(bytes); pairs handed to the receiver are not kept in the result.
BatchReadResult ReadBatchPairs(std::string_view bytes, const BatchPairReceiver& receiver);

// The end of the number that starts at p, or p itself when none can be read there.
// Greedy: every character that can continue the number is taken, so an "e" after the
// mantissa commits to an exponent, and an exponent without digits makes the whole
// number unreadable. The one scanner of the grammar above, for every reader of it.
const char* ScanBatchNumber(const char* p, const char* end);

// The nearest double to a text ScanBatchNumber accepted whole; beyond the double range
// infinity, below it zero, with the text's sign. No locale is consulted.
double BatchNumberValue(std::string_view number);
