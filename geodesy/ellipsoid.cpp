#include "ellipsoid.h"

EllipsoidConstants DeriveConstants(const Ellipsoid& ellipsoid)
{
    // The flattening f itself is never formed: b comes straight from a and 1/f, and
    // everything else from a and b, so both ellipsoids give the same digits everywhere.
    const Extended a = ellipsoid.SemiMajorAxis;
    const Extended b = a - (a / ellipsoid.InverseFlattening);
    const Extended n = (a - b) / (a + b);
    const Extended e2 = (a * a - b * b) / (a * a);
    const Extended ep2 = (a * a - b * b) / (b * b);
    return {a, b, n, e2, ep2};
}
