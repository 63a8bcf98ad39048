#pragma once
// Whether the input of a conversion lies in Taiwan's area, the test both the batch page
// and kartovel-convert apply after converting, to warn about points that are probably
// not what the user meant: TM2 numbers converted as degrees, or the reverse, or the two
// numbers of each point in the wrong order.
//
// The area, as the input of each direction (generous bounds around Taiwan, Penghu,
// Kinmen and Matsu, so that no real point of theirs is ever flagged):
//   TM2ToGeographic: E 0 to 500000 m and N 2300000 to 2900000 m;
//   GeographicToTM2: longitude 117 to 124 degrees and latitude 20 to 27 degrees.
// Bounds included; not-a-number is outside.
#include <cstddef>
#include <string>

#include "geodesy/extended.h"
#include "text/conversion.h"  // ConversionMode

enum class AreaFit {
    Inside,
    Outside,
    // Outside as given, inside with x and y exchanged: latitude before longitude (as a
    // map service copies a point), or northing before easting.
    InsideWhenSwapped,
};

AreaFit FitTaiwanArea(ConversionMode mode, Extended x, Extended y);

// The rows of a batch run outside Taiwan's area, and what they have in common.
struct AreaTally {
    std::size_t outside = 0;         // rows outside the area of the run's direction
    std::size_t firstRow = 0;        // the first of them (as counted by the caller)
    std::size_t latitudeFirst = 0;   // of those, degrees inside when swapped
    std::size_t swapped = 0;         // of those, inside the run's area when swapped
    std::size_t otherDirection = 0;  // of those, inside the other direction's area

    void Add(ConversionMode mode, Extended x, Extended y, std::size_t row);
};

// The batch page's notice after a run, in Chinese and then English: how many rows lie
// outside Taiwan's area, the first of them, that their results are listed as computed,
// and the likely reason when all of them share one: columns swapped (latitude first, as
// map services copy a point; northing first), or the other direction. Empty when no row
// lies outside.
std::string BatchAreaNotice(ConversionMode mode, const AreaTally& tally);
