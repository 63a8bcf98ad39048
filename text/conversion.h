#pragma once
// One conversion direction applied to a pair of texts, as both the batch page and the
// command-line converter do it: parse, project on the given ellipsoid, format.
#include <string>
#include <string_view>

#include "geodesy/ellipsoid.h"
#include "geodesy/extended.h"

// The direction selected in a page's direction group: its item index.
enum ConversionMode { TM2ToGeographic = 0, GeographicToTM2 = 1 };

// The two result texts of one point whose values are x and y, in the order the line
// shows them:
//   TM2ToGeographic: x = E, y = N (metres)   -> longitude (8 digits), latitude (7 digits)
//   GeographicToTM2: x = longitude, y = latitude (degrees) -> E (8 digits), N (9 digits)
// FloatingPointError leaves as the projections raise it, with nothing assigned.
struct PointResultTexts {
    std::string first;
    std::string second;
};
void ComputeResultTexts(ConversionMode mode, const Ellipsoid& ellipsoid, Extended x, Extended y,
                        PointResultTexts& texts);
// The same two results as values, in the same order, before any rounding to text.
struct PointResultValues {
    Extended first;
    Extended second;
};
PointResultValues ComputeResultValues(ConversionMode mode, const Ellipsoid& ellipsoid, Extended x, Extended y);
// The batch page's texts of two results in line order: degrees (geographic) with 8 and 7
// significant digits, metres with 8 and 9.
void FormatResultTexts(bool geographic, Extended first, Extended second, PointResultTexts& texts);
// The result line of a point without its line end: first " " second.
inline void AppendResultTexts(std::string& out, const PointResultTexts& texts)
{
    out += texts.first;
    out += ' ';
    out += texts.second;
}

// The result line of one batch row whose columns hold xText and yText:
//   TM2ToGeographic: x = E, y = N (metres)   -> longitude (8 digits) " " latitude (7 digits)
//   GeographicToTM2: x = longitude, y = latitude (degrees) -> E (8 digits) " " N (9 digits)
// xText is parsed before yText; a text NumberFromText refuses throws its ParseError, and
// FloatingPointError leaves as the projections raise it.
std::string BatchResultLine(ConversionMode mode, const Ellipsoid& ellipsoid,
                            std::string_view xText, std::string_view yText);
// The two numbers of a row as the conversion read them from its texts.
struct BatchRowValues {
    Extended x;
    Extended y;
};

// The same line appended to `out`, for callers that collect many lines in one buffer.
// Both values are computed before anything is appended, so an error leaves `out` as it
// was. Returns the row's numbers, for a check of the input after the conversion.
BatchRowValues AppendBatchResultLine(std::string& out, ConversionMode mode, const Ellipsoid& ellipsoid,
                           std::string_view xText, std::string_view yText);

// The table text of a number read from a batch file: GeneralFormat with precision 15.
std::string BatchCellText(double value);
