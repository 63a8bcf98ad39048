#pragma once
// One number of a batch file, from its text to the value the batch page computes with.
//
// The batch page reads a number (the batch-file grammar, see batch_reader.h) into the
// nearest double, shows it as its 15-digit table text (BatchCellText) and converts that
// text (NumberFromText). TableValue gives the same extended value, usually without the
// text in between. Thread-safe.
#include <string_view>

#include "geodesy/extended.h"
#include "text/batch_reader.h"  // ScanBatchNumber, BatchNumberValue

// NumberFromText(BatchCellText(BatchNumberValue(number))) for a text ScanBatchNumber
// accepted whole: the value of a loaded table cell. Throws what NumberFromText throws
// (a ParseError "'INF' is not a valid floating point value" beyond the double range).
Extended TableValue(std::string_view number);

// The text-free road TableValue takes when it can: true with the value for a nonzero
// number of at most 15 significant digits between 10^-4 and 10^15. False otherwise,
// value untouched.
//
// Why it is the same value: a decimal D of at most 15 significant digits survives the
// trip through the nearest double and back to 15 digits (the double is within 2^-53 of
// D relatively, the 18-digit rounding on the way within 5e-18, while a 15-digit
// neighbour is at least 5e-16 away), so the table text is D again, written without an
// exponent in this magnitude range, with at most 18 digits after the point. NumberFromText
// reads such a text as an integer of at most 19 digits (exact) multiplied or divided by a
// power of ten of at most 10^27 (exact): one correctly rounded operation on D. Here D is
// taken as its own digits and power of ten, also exact, in one such operation; a
// correctly rounded result of the same D is the same extended value.
bool TableValueWithoutText(std::string_view number, Extended& value);
