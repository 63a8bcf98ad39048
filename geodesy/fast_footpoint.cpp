// The footpoint search of footpoint.cpp without evaluating the arc at the steps whose
// outcome is already certain.
//
// What decides a step. At each step the reference search forms mid = (lower + upper) × 0.5
// in extended and d = S̃(mid) − N′, where S̃ is the arc as evaluated (x87 sines of
// arguments rounded to double, extended products and sums). The step returns mid when
// |double(d)| ≤ τ (τ = ArcTolerance), and otherwise moves lower to mid when d < 0 and
// upper to mid when d > 0. The sequence of mids, and so the result and the iteration
// count, depends on nothing but these outcomes. If the outcome of a step is known, the
// step can be replayed with the same extended operations on the bounds and the arc need
// not be evaluated.
//
// The exact arc. Let S be the series evaluated exactly, with the coefficients A1..A8 as
// they were derived (extended numbers taken as reals) and with the radian factor D (the
// double nearest π/180):
//     S(φ) = A1·φ + A2·sin(2Dφ) + A4·sin(4Dφ) + A6·sin(6Dφ) + A8·sin(8Dφ).
// Its slope in metres per degree is S′(φ) = A1 + D·(2A2 cos 2Dφ + 4A4 cos 4Dφ + …) and so,
// for every φ,
//     S′(φ) ≥ A1 − D·(2|A2| + 4|A4| + 6|A6| + 8|A8|) ≥ 111132.9 − 0.01746 × 32146 > 110571
// on both ellipsoids. We use σ = 110000 m per degree. S is therefore strictly increasing
// on the whole real line and N′ has exactly one root φ₀ with S(φ₀) = N′.
//
// How far S̃ is from S (δ). For |φ| ≤ 90: the product φ·D is rounded to extended
// (relative 2⁻⁶⁴) and each multiple k·φ·D to double (relative 2⁻⁵³). The argument of the
// sin 2φ term, at most π, thus moves by less than 3.2 × 2⁻⁵³ < 3.6e-16, and the A2 term by
// less than 16040 × 3.6e-16 < 5.8e-12 m; the higher terms, with amplitudes below 17 m,
// by less than 1e-13 m. The x87 sine of an argument below 4π is within 1e-18 of the true
// sine (its reduction constant carries 66 bits of π; the C library's extended sine, used
// where the x87 one is not, is closer still). A1·φ and the four sums round at most half
// an extended ulp of 2^24 each, < 5 × 4.6e-13 m, the four products far less. So
// |S̃(φ) − S(φ)| < 1e-11 m; we use δ = 1e-9 m.
//
// The root. A few Newton steps in double find a double φ* near φ₀. φ* is accepted only
// on its residual, computed as r = (A1·φ* − N′) in extended plus the harmonics in double
// with the sine and cosine of 2Dφ* from the C library (within one ulp) and the multiple
// angles by the product formulas. For |φ*| ≤ 200 that residual is within 3e-11 m of
// S(φ*) − N′ (the A2 term again dominates, through the double rounding of φ*·D); we use
// ε_r = 1e-9 m. Accepting only |r| ≤ 1e-8 m gives, by the slope bound,
//     |φ* − φ₀| ≤ (1e-8 + ε_r) / σ = 1e-13 degrees.
// How φ* was found does not enter the argument, only its residual. A northing beyond
// ±2e7 m has its root beyond ±179 degrees (S(90) < 1.0003e7 m): every mid of a bracket
// within ±90 degrees lies far below (above) it, which is what φ* = ±∞ expresses.
//
// Far steps. Let mid ≤ φ* − M with the margin M = 1e-11 degrees. Then
// φ₀ − mid ≥ M − 1e-13, and S(mid) − N′ = S(mid) − S(φ₀) ≤ −σ(M − 1e-13) < −1.08e-6 m, so
// S̃(mid) − N′ < −1.08e-6 + δ < −1.07e-6 m. Rounding to extended and then to double is
// monotonic and keeps the value below −1.06e-6 < −τ: the reference step does not converge
// and moves lower to mid. Symmetrically, mid ≥ φ* + M moves upper to mid. The margin
// needed is (τ + δ)/σ + 1e-13 ≈ 1.0e-12 degrees; M is ten times that. The thresholds
// φ* ± M are rounded to extended, which shifts them by less than 1e-17 degrees. On the
// island's northings all but the last two to five of about forty steps are far.
//
// Near steps, the mids within M of φ*. Here d is estimated as d̂: the same operations in
// the same order on the same double arguments (φr × k rounded to double), with the C
// library's double sine in place of the x87 sine. The two sines differ by at most
// 2.3e-16 (the library's within one ulp of a value below 1, the x87 one within 1e-18),
// which moves the A2 term by at most 16040 × 2.3e-16 < 3.7e-12 m and the others by less
// than 1e-14 m; the two computations round their nine operations (four products, four
// sums, the difference) at magnitudes below 2^24 m, at most 4.6e-13 m each, so
// |d̂ − d| < 3.7e-12 + 18 × 4.6e-13 < 1.3e-11 m. We use η = 1e-9 m. Then
//     |d̂| ≤ τ − η  gives |d| < τ: the step converges;
//     |d̂| ≥ τ + η  gives |d| > τ + 9.8e-10, so |double(d)| > τ, and d has the sign of d̂;
// and only in between, a band 2e-9 m wide in 2e-6 m, is the arc evaluated as written,
// at about one point in sixty.
//
// Skipped steps. On brackets with whole-degree ends, the first 32 steps are taken at once
// when every one of them is far (see SkipCertainSteps).
//
// Choosing the interval compares N′ with the arc at 21, −21 and 26 degrees, as written;
// the same arguments make the comparison certain when the bound lies farther than M from
// φ*, or when |d̂| > η at the bound; otherwise the arc there is evaluated.
//
// The fixed point. When a step, certain or evaluated, sets a bound to the value it
// already had, nothing changes any more: every later step computes the same mid and
// reaches the same outcome, up to the iteration limit. The reference returns that mid
// after the last iteration; so does the replay, at once. This is how a northing beyond
// the arc at either pole ends on ±90 after 1000 iterations.
//
// Flags. For finite |N′| ≤ 1e300 the reference raises none of the three error flags
// (overflow, division by zero, invalid): the arc stays finite and d fits a double. The
// root finding, the estimates and the replay raise none either. A NaN, an infinite or a
// larger N′ and a bracket beyond ±90 degrees (outside the bound δ was shown for) go to
// the reference search itself, as does a root whose residual is not accepted.
#include <cmath>
#include <limits>

#include "footpoint.h"

static constexpr Extended kMargin = 1e-11;                 // degrees, M above
static constexpr double kResidualAccepted = 1e-8;          // metres
static constexpr Extended kNewtonReach = 2e7;              // metres of N′
static constexpr Extended kReplayReach = 1e300;            // metres of N′
static constexpr double kRootLatitudeReach = 200;          // degrees, where ε_r holds
static constexpr int kNewtonSteps = 6;
// η, and the distances of the estimate from the tolerance that decide a step.
static constexpr Extended kEstimateError = 1e-9;           // metres
static constexpr Extended kConvergedBelow = Extended(ArcTolerance) - kEstimateError;
static constexpr Extended kMovesAbove = Extended(ArcTolerance) + kEstimateError;
static constexpr Extended kLowestLatitude = -90;
static constexpr Extended kHighestLatitude = 90;

struct ArcRoot {
    double latitude;  // φ*, degrees; ±∞ beyond every latitude of the search
    bool accepted;
};

// φ* by Newton's method on S in double, accepted on its residual (see above).
static ArcRoot RootOfArc(const ArcCoefficients& arc, Extended reducedNorthing)
{
    constexpr double infinity = std::numeric_limits<double>::infinity();
    if (reducedNorthing > kNewtonReach)
        return {infinity, true};
    if (reducedNorthing < -kNewtonReach)
        return {-infinity, true};

    const double D = static_cast<double>(DegreeToRadian);
    const double A1 = static_cast<double>(arc.A1);
    const double A2 = static_cast<double>(arc.A2);
    const double A4 = static_cast<double>(arc.A4);
    const double A6 = static_cast<double>(arc.A6);
    const double A8 = static_cast<double>(arc.A8);

    // The linear term alone is within 0.15 degrees of the root; Newton's step then gains
    // about a factor S″/(2S′) ≈ 1e-4 per degree of error, so two steps reach the
    // rounding of φ* and the third evaluation accepts it.
    double phi = static_cast<double>(reducedNorthing / arc.A1);
    for (int step = 0; step < kNewtonSteps; ++step) {
        const double x2 = (phi * D) * 2;
        const double s2 = std::sin(x2);
        const double c2 = std::cos(x2);
        const double s4 = (s2 * c2) * 2;
        const double c4 = 1 - (s2 * s2) * 2;
        const double s6 = s4 * c2 + c4 * s2;
        const double c6 = c4 * c2 - s4 * s2;
        const double s8 = (s4 * c4) * 2;
        const double c8 = 1 - (s4 * s4) * 2;
        const double harmonics = ((A8 * s8 + A6 * s6) + A4 * s4) + A2 * s2;
        // The linear term and N′ nearly cancel: in extended, so that r keeps its accuracy.
        const Extended r = (arc.A1 * phi - reducedNorthing) + harmonics;
        if (std::fabs(r) <= kResidualAccepted)
            return {phi, std::fabs(phi) <= kRootLatitudeReach};
        const double slope = A1 + D * (((A2 * c2) * 2 + (A4 * c4) * 4) + ((A6 * c6) * 6 + (A8 * c8) * 8));
        phi -= static_cast<double>(r) / slope;
    }
    return {phi, false};
}

// What a reference step concludes at one mid: the search stops there, or the arc there is
// longer than N′ (upper takes mid), or shorter (lower takes mid).
enum class StepOutcome { Converged, ArcLonger, ArcShorter };

// S̃(latitude) − N′ formed as the reference forms it, but with the C library's double sine
// on the same double arguments in place of the x87 sine: within η of the reference's d.
static Extended EstimatedArcDifference(const ArcCoefficients& arc, Extended latitude, Extended reducedNorthing)
{
    const Extended phiR = latitude * DegreeToRadian;
    Extended s = (Extended(std::sin(static_cast<double>(phiR * 2))) * arc.A2) + (arc.A1 * latitude);
    s = (Extended(std::sin(static_cast<double>(phiR * 4))) * arc.A4) + s;
    s = (Extended(std::sin(static_cast<double>(phiR * 6))) * arc.A6) + s;
    s = (Extended(std::sin(static_cast<double>(phiR * 8))) * arc.A8) + s;
    return s - reducedNorthing;
}

// The outcome of the reference step at a mid within the margin of the root.
static StepOutcome NearStep(const ArcCoefficients& arc, Extended mid, Extended reducedNorthing)
{
    const Extended estimate = EstimatedArcDifference(arc, mid, reducedNorthing);
    const Extended distance = std::fabs(estimate);
    if (distance <= kConvergedBelow)
        return StepOutcome::Converged;
    if (distance >= kMovesAbove)
        return estimate > 0 ? StepOutcome::ArcLonger : StepOutcome::ArcShorter;
    // Within η of the tolerance: only the arc as written can tell.
    const Extended d = MeridianArc(arc, mid) - reducedNorthing;
    if (std::fabs(static_cast<double>(d)) <= ArcTolerance)
        return StepOutcome::Converged;
    return d > 0 ? StepOutcome::ArcLonger : StepOutcome::ArcShorter;
}

// The sign of S̃(latitude) − N′ (−1, 0 or 1), as the reference's comparisons of the two
// see it; the root is within the margin of the latitude.
static int NearArcComparison(const ArcCoefficients& arc, Extended latitude, Extended reducedNorthing)
{
    const Extended estimate = EstimatedArcDifference(arc, latitude, reducedNorthing);
    if (std::fabs(estimate) > kEstimateError)
        return estimate > 0 ? 1 : -1;
    const Extended S = MeridianArc(arc, latitude);
    return S > reducedNorthing ? 1 : S < reducedNorthing ? -1 : 0;
}

// The first kSkippedLevels steps at once, when all of them are certain: on a bracket with
// whole-degree ends, the bounds after k exact halvings are the ends of a cell
//     [l0 + w·a/2^k, l0 + w·(a+1)/2^k],  w = u0 − l0,
// and every earlier mid is an end of a coarser cell, so none lies strictly inside a cell of
// level k. If the window [shortOf, beyond] lies strictly inside the cell a of level k, every
// one of the first k mids is therefore certain, each moves the bound on its side of the
// window, and after k steps the bounds are exactly that cell. The reference's own
// arithmetic is exact there: all these values are multiples of 2^-k below 2^8 in
// magnitude, 8 + k ≤ 64 bits. `a` itself is only estimated; a wrong estimate fails the
// containment test and nothing is skipped.
static constexpr int kSkippedLevels = 32;

static void SkipCertainSteps(FootpointBracket bracket, Extended shortOf, Extended beyond, Extended& lower,
                             Extended& upper, int& iteration)
{
    const Extended l0 = bracket.lower;
    const Extended u0 = bracket.upper;
    if (!(std::isfinite(shortOf) && std::isfinite(beyond)) || l0 != std::trunc(l0) || u0 != std::trunc(u0))
        return;
    const Extended cells = static_cast<Extended>(1ULL << kSkippedLevels);
    const Extended w = u0 - l0;
    const Extended position = (shortOf - l0) / w * cells;
    if (!(position >= 0 && position < cells))
        return;
    const Extended a = std::trunc(position);
    const Extended cellLower = l0 + (w * a) / cells;
    const Extended cellUpper = l0 + (w * (a + 1)) / cells;
    if (cellLower < shortOf && beyond < cellUpper) {
        lower = cellLower;
        upper = cellUpper;
        iteration = kSkippedLevels + 1;
    }
}

// The reference search on `bracket`, the outcome of each step found without the arc
// wherever that is certain.
static Footpoint ReplayBisection(const ArcCoefficients& arc, Extended reducedNorthing, FootpointBracket bracket,
                                 double root)
{
    // Mids below `shortOf` have an arc shorter than N′ by more than the tolerance, mids
    // above `beyond` a longer one.
    const Extended shortOf = root - kMargin;
    const Extended beyond = root + kMargin;
    Extended lower = bracket.lower;
    Extended upper = bracket.upper;
    Extended mid = lower;
    int iteration = 1;
    SkipCertainSteps(bracket, shortOf, beyond, lower, upper, iteration);
    // A step that sets a bound to the value it already has is the fixed point: every later
    // step repeats it, so the reference ends there after its last iteration.
    for (; iteration <= FootpointIterationLimit; ++iteration) {
        mid = (lower + upper) * 0.5;
        StepOutcome outcome;
        if (mid < shortOf)
            outcome = StepOutcome::ArcShorter;
        else if (mid > beyond)
            outcome = StepOutcome::ArcLonger;
        else
            outcome = NearStep(arc, mid, reducedNorthing);
        if (outcome == StepOutcome::Converged)
            return {mid, iteration};
        if (outcome == StepOutcome::ArcLonger) {
            if (upper == mid)
                break;
            upper = mid;
        } else {
            if (lower == mid)
                break;
            lower = mid;
        }
    }
    return {mid, FootpointIterationLimit};
}

// Whether N′ is one the replay is shown to reproduce (finite, |N′| ≤ 1e300).
static bool Replayable(Extended reducedNorthing)
{
    // Quiet comparison: a NaN must not raise a flag here (the reference raises its own).
    return std::islessequal(std::fabs(reducedNorthing), kReplayReach);
}

Footpoint FastBisectFootpoint(const ArcCoefficients& arc, Extended reducedNorthing, FootpointBracket bracket)
{
    if (!Replayable(reducedNorthing) || bracket.lower < kLowestLatitude || bracket.upper > kHighestLatitude)
        return BisectFootpoint(arc, reducedNorthing, bracket);
    const ArcRoot root = RootOfArc(arc, reducedNorthing);
    if (!root.accepted)
        return BisectFootpoint(arc, reducedNorthing, bracket);
    return ReplayBisection(arc, reducedNorthing, bracket, root.latitude);
}

Footpoint FastFootpointLatitude(const ArcCoefficients& arc, Extended reducedNorthing)
{
    if (!Replayable(reducedNorthing))
        return FootpointLatitude(arc, reducedNorthing);
    const ArcRoot root = RootOfArc(arc, reducedNorthing);
    if (!root.accepted)
        return FootpointLatitude(arc, reducedNorthing);

    const Extended shortOf = root.latitude - kMargin;
    const Extended beyond = root.latitude + kMargin;
    // The sign of S̃(latitude) − N′: certain from the root unless the latitude is within
    // the margin of it.
    const auto arcComparison = [&](Extended latitude) {
        if (latitude > beyond)
            return 1;
        if (latitude < shortOf)
            return -1;
        return NearArcComparison(arc, latitude, reducedNorthing);
    };

    FootpointBracket bracket = kFootpointBracket;
    if (arcComparison(kFootpointBracket.lower) > 0)
        bracket = arcComparison(kTropicBracket.lower) <= 0 ? kTropicBracket : kSouthOfTropicBracket;
    else if (arcComparison(kFootpointBracket.upper) < 0)
        bracket = kNorthOfBracket;
    return ReplayBisection(arc, reducedNorthing, bracket, root.latitude);
}
