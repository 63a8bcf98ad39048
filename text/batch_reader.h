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
// comes first; nothing after a Ctrl-Z is looked at. Reading stops at the first place
// where no number can be read: the end of the file, or a byte that cannot start a
// number (a letter, a comma, a semicolon, a control character, any byte above 127
// such as a byte-order mark or a double-byte space), or an exponent without digits.
// Every complete pair before that place is loaded; a pair whose second number is
// missing or unreadable is dropped.
//
// Linear in the length of the bytes; the only allocations are the growing pair
// vector and the short excerpt. Thread-safe (no shared state).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct BatchPair {
    double x;  // easting (m) or longitude (degrees): the first number of the pair
    double y;  // northing (m) or latitude (degrees): the second number
};

struct BatchReadResult {
    std::vector<BatchPair> pairs;
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
    // At most kBatchExcerptBytes bytes of the file from stopOffset, ending before the
    // first CR or LF and at the end of the file. Printable ASCII only: bytes 32..126
    // as they are except "\" written "\\", tab written "\t", every other byte "\xHH"
    // (a byte-order mark shows as "\xEF\xBB\xBF"). Empty exactly when nothing
    // stopped early, since an early stop is never at whitespace.
    std::string stopExcerpt;
};

inline constexpr std::size_t kBatchExcerptBytes = 20;

BatchReadResult ReadBatchPairs(std::string_view bytes);
