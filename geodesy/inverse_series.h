#pragma once
// The steps of the inverse projection after the footpoint, one function per step so
// that the latitude and longitude functions of projection.h, and any caller that wants
// both from one footpoint, share them. The series are the classical ones with the sine
// of one second of arc: their coefficients are seconds of arc per power of q.
#include "ellipsoid.h"
#include "extended.h"

// sin 1″ as the inverse forms it: DegreeToRadian × (1/60) × (1/60) in extended,
// rounded to double for the sine.
Extended SinOneSecond();

// The ellipsoid quantities at the footpoint latitude.
struct FootpointQuantities {
    Extended phi;   // footpoint latitude, radians
    Extended nu;    // ν, radius of curvature in the prime vertical, metres
    Extended rho;   // ρ, radius of curvature in the meridian, metres
    Extended eta2;  // η² = e′² cos² φ
    Extended t;     // tan φ
    Extended c;     // cos φ
};
FootpointQuantities QuantitiesAtFootpoint(const EllipsoidConstants& constants, Extended footpointDegrees);

// q: the easting from the central meridian, reduced by the scale factor, in units of
// 10^6 m. Metres in, no check.
Extended ScaledEasting(Extended easting);

// Latitude series coefficients, seconds of arc per q², q⁴ and q⁶; P4 and P6 are the
// polynomials in t and η² inside the second and third.
struct LatitudeSeries {
    Extended L2;
    Extended P4;
    Extended L4;
    Extended P6;
    Extended L6;
};
// s1 is SinOneSecond(); the one-argument forms evaluate it themselves.
LatitudeSeries LatitudeSeriesAt(const FootpointQuantities& at, Extended s1);
LatitudeSeries LatitudeSeriesAt(const FootpointQuantities& at);
// The latitude in degrees: the footpoint less the series sum.
Extended LatitudeFromSeries(const FootpointQuantities& at, const LatitudeSeries& series, Extended q);

// Longitude series coefficients, seconds of arc per q, q³ and q⁵.
struct LongitudeSeries {
    Extended M1;
    Extended M3;
    Extended M5;
};
LongitudeSeries LongitudeSeriesAt(const FootpointQuantities& at, Extended s1);
LongitudeSeries LongitudeSeriesAt(const FootpointQuantities& at);
// The longitude in degrees east: the central meridian plus the series sum.
Extended LongitudeFromSeries(const LongitudeSeries& series, Extended q);
