#include "footpoint.h"

#include <cfenv>
#include <cmath>

Footpoint BisectFootpoint(const ArcCoefficients& arc, Extended reducedNorthing, FootpointBracket bracket)
{
    Extended lower = bracket.lower;
    Extended upper = bracket.upper;
    Extended mid = lower;
    for (int iteration = 1; iteration <= FootpointIterationLimit; ++iteration) {
        mid = (lower + upper) * 0.5;
        const Extended d = MeridianArc(arc, mid) - reducedNorthing;
        // The distance is judged in double; an equal distance counts as converged, and
        // the test comes before either bound moves.
        if (std::fabs(static_cast<double>(d)) <= ArcTolerance)
            return {mid, iteration};
        if (d > 0)
            upper = mid;  // the arc at mid is too long
        else
            lower = mid;
    }
    return {mid, FootpointIterationLimit};
}

Footpoint FootpointLatitude(const ArcCoefficients& arc, Extended reducedNorthing)
{
    // Inside the 21..26 degree interval the search is the one every grid value of the
    // island was computed with. Outside it, searching that interval would only pin the
    // result to its nearer end: a northing of 0 would come out at 21 degrees. The same
    // search on the interval beyond that end finds the true footpoint instead.
    if (std::isnan(reducedNorthing)) {
        // No interval holds it, and bisecting would end on one of its ends as if that
        // were an answer. It is an invalid operation; when that is silenced, NaN.
        std::feraiseexcept(FE_INVALID);
        return {reducedNorthing, 0};
    }
    FootpointBracket bracket = kFootpointBracket;
    if (reducedNorthing < MeridianArc(arc, kFootpointBracket.lower))
        bracket = reducedNorthing >= MeridianArc(arc, kTropicBracket.lower) ? kTropicBracket
                                                                            : kSouthOfTropicBracket;
    else if (reducedNorthing > MeridianArc(arc, kFootpointBracket.upper))
        bracket = kNorthOfBracket;
    return BisectFootpoint(arc, reducedNorthing, bracket);
}
