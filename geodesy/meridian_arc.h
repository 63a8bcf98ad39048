#pragma once
// Length of the meridian from the equator to a latitude: a series in the third
// flattening n with a linear term and the harmonics sin 2φ, 4φ, 6φ and 8φ, carried to
// n^5. Not multiplied by the grid scale factor.
#include "ellipsoid.h"
#include "extended.h"

// The series factors of one ellipsoid. R0, B2..B8 are the series in n; A1..A8 the
// products that the evaluation uses: A1 in metres per degree, A2..A8 in metres.
struct ArcCoefficients {
    Extended R0;  // metres: the rectifying radius
    Extended B2;
    Extended B4;
    Extended B6;
    Extended B8;
    Extended A1;  // metres of arc per degree of latitude (linear term)
    Extended A2;  // amplitude of sin 2φ
    Extended A4;  // amplitude of sin 4φ
    Extended A6;  // amplitude of sin 6φ
    Extended A8;  // amplitude of sin 8φ
};

// Derived from a, b and n. A caller that evaluates the arc many times derives these
// once and keeps them only for the duration of its own call.
ArcCoefficients DeriveArcCoefficients(const EllipsoidConstants& constants);

// S(φ) in metres for φ in decimal degrees, north positive. Any finite latitude is
// evaluated, beyond ±90 included; from about 6.45e16 degrees on, the sine of 8φ is
// refused and S is a quiet NaN (trig.h).
Extended MeridianArc(const ArcCoefficients& arc, Extended latitude);
// The same with the factors derived afresh from the ellipsoid.
Extended MeridianArc(const Ellipsoid& ellipsoid, Extended latitude);
