#pragma once
// The footpoint latitude: the latitude on the central meridian whose meridian arc
// equals the northing reduced by the scale factor, N' = N × InverseScaleFactor.
// Found by bisection on the arc of meridian_arc.h.
#include "extended.h"
#include "meridian_arc.h"

// A latitude interval in degrees, lower < upper.
struct FootpointBracket {
    Extended lower;
    Extended upper;
};

// The interval of the main island and the Penghu islands; searched whenever N' lies between
// the arcs at its ends (bounds included).
inline constexpr FootpointBracket kFootpointBracket{21, 26};
// Searched when N' lies below the arc at 21 degrees: down to the arc at -21 degrees the
// interval is symmetric about the equator, whose latitude is then its first mid and comes
// out as exactly 0; further south the interval below that. Above the arc at 26 degrees
// the interval up to the pole.
inline constexpr FootpointBracket kTropicBracket{-21, 21};
inline constexpr FootpointBracket kSouthOfTropicBracket{-90, -21};
inline constexpr FootpointBracket kNorthOfBracket{26, 90};

// The search stops at the first latitude whose arc, rounded to double, is within
// this distance of N' (metres; the double nearest 1e-7).
inline constexpr double ArcTolerance = 1e-7;
inline constexpr int FootpointIterationLimit = 1000;

struct Footpoint {
    Extended latitude;  // degrees
    int iterations;     // bisection steps taken, 1..FootpointIterationLimit (0 for NaN)
};

// The bisection on one interval. Each step halves the interval at mid, tests the arc at
// mid against N' and returns mid on convergence; otherwise the bound on the far side of
// N' takes mid's value exactly. When N' lies outside the interval's arcs, the near bound
// is approached until mid equals it exactly and the search ends after
// FootpointIterationLimit steps with that bound.
Footpoint BisectFootpoint(const ArcCoefficients& arc, Extended reducedNorthing, FootpointBracket bracket);

// Chooses the interval from N' (kFootpointBracket, or the interval beyond the side that
// N' leaves it on) and bisects it. Beyond the arc at ±90 degrees the result is ±90.
// A NaN N' raises the invalid-operation flag and gives a NaN latitude after no
// iteration; an N' so large that the arc difference leaves the double range raises the
// overflow flag (floating_point.h). An infinite N' ends on the pole.
//
// BisectFootpoint and FootpointLatitude are the reference: every arc of the search is
// evaluated. The projection uses the two functions below.
Footpoint FootpointLatitude(const ArcCoefficients& arc, Extended reducedNorthing);

// The same search with the same result, bit for bit: the same latitude, the same
// iteration count and the same floating-point flags, for every N' (NaN and infinities
// included) and every bracket. From a double-precision root of S(φ) = N' the outcome of
// most steps is certain without the arc; the steps near the root use a double-precision
// estimate of the arc, and the arc is evaluated as written only where that estimate lies
// within 1e-9 m of the tolerance (about one search in sixty on the island's northings).
// The proof is in fast_footpoint.cpp. A bracket reaching beyond ±90 degrees and a
// non-finite or huge N' (beyond 1e300 m) are handed to the reference search.
Footpoint FastBisectFootpoint(const ArcCoefficients& arc, Extended reducedNorthing, FootpointBracket bracket);
Footpoint FastFootpointLatitude(const ArcCoefficients& arc, Extended reducedNorthing);
