#include "meridian_arc.h"

#include "trig.h"

ArcCoefficients DeriveArcCoefficients(const EllipsoidConstants& constants)
{
    const Extended a = constants.a;
    const Extended b = constants.b;
    const Extended n = constants.n;

    ArcCoefficients arc;
    // (a+b)/2 · (1 + n²/4 + n⁴/64)
    arc.R0 = (((n * n) * 0.25 + 1) + (((n * n) * n) * n) * (1.0L / 64)) * ((a + b) * 0.5);
    // −3/2 n + 9/16 n³ − 9/32 n⁵ (the n⁵ term is 3·3/32)
    arc.B2 = ((n * (-1.5)) + (((n * 9) * n) * n) * (1.0L / 16))
           - (((((n * 3) * n) * n) * n) * n * 3) * (1.0L / 32);
    // 15/16 n² − 15/32 n⁴
    arc.B4 = (((n * 15) * n) * (1.0L / 16)) - ((((n * 15) * n) * n) * n) * (1.0L / 32);
    // −35/48 n³ + 105/256 n⁵; 1/48 is the extended number nearest, the rest are exact
    arc.B6 = ((((n * (-35)) * n) * n) * (1.0L / 48)) + (((((n * 105) * n) * n) * n) * n) * (1.0L / 256);
    // 315/512 n⁴
    arc.B8 = ((((n * 315) * n) * n) * n) * (1.0L / 512);

    // The linear term takes φ in degrees: π is the double nearest π, widened, and
    // 1/180 the extended number nearest.
    const Extended pi = 3.141592653589793;
    arc.A1 = (arc.R0 * pi) * (1.0L / 180);
    arc.A2 = arc.R0 * arc.B2;
    arc.A4 = arc.R0 * arc.B4;
    arc.A6 = arc.R0 * arc.B6;
    arc.A8 = arc.R0 * arc.B8;
    return arc;
}

Extended MeridianArc(const ArcCoefficients& arc, Extended latitude)
{
    const Extended phiR = latitude * DegreeToRadian;
    // Each multiple of φ is formed in extended and rounded to double by the sine's
    // parameter. The sin 2φ term meets the linear term first; the smaller harmonics are
    // added after it, largest first.
    Extended s = (Sin(phiR * 2) * arc.A2) + (arc.A1 * latitude);
    s = (Sin(phiR * 4) * arc.A4) + s;
    s = (Sin(phiR * 6) * arc.A6) + s;
    s = (Sin(phiR * 8) * arc.A8) + s;
    return s;
}

Extended MeridianArc(const Ellipsoid& ellipsoid, Extended latitude)
{
    return MeridianArc(DeriveArcCoefficients(DeriveConstants(ellipsoid)), latitude);
}
