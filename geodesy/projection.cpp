#include "projection.h"

#include "floating_point.h"
#include "footpoint.h"
#include "inverse_series.h"
#include "meridian_arc.h"
#include "trig.h"

// Forward series: the classical Transverse Mercator power series in the longitude
// difference, in the sin 1″ form. The difference is counted in units of 10^4 seconds
// of arc (p) and every power of p is paired with the same power of s = 10^4 · sin 1″,
// so that p·s is the difference in radians. Every power is built one factor at a time,
// left to right, and the factorials are applied as reciprocals.

static constexpr Extended kOneSixth = 1.0L / 6;
static constexpr Extended kOne24th = 1.0L / 24;
static constexpr Extended kOne120th = 1.0L / 120;
static constexpr Extended kOne720th = 1.0L / 720;
static constexpr Extended kTenThousandth = 1e-4L;

// What both forward functions prepare from their arguments and the ellipsoid.
struct ForwardSetup {
    EllipsoidConstants k;
    Extended p;       // longitude difference, 10^4 seconds of arc
    Extended s;       // 10^4 · sin 1″
    Extended sinPhi;  // every appearance of sin φ, cos φ, tan φ has the same value
    Extended cosPhi;
    Extended t;
    Extended nu;
    Extended eta2;
};

static ForwardSetup PrepareForward(const Ellipsoid& ellipsoid, Extended longitude, Extended latitude)
{
    ForwardSetup f;
    f.p = ((longitude - CentralMeridian) * 60) * 60 * kTenThousandth;
    const Extended phi = latitude * DegreeToRadian;
    // One second in degrees is the double nearest 1/3600 here, widened.
    f.s = Sin(Extended(1.0 / 3600) * DegreeToRadian) * 10000;
    f.k = DeriveConstants(ellipsoid);
    f.sinPhi = Sin(phi);
    f.cosPhi = Cos(phi);
    f.t = Tan(phi);
    f.nu = f.k.a / Sqrt(1 - f.sinPhi * (f.sinPhi * f.k.e2));
    f.eta2 = f.cosPhi * (f.cosPhi * f.k.ep2);
    return f;
}

Extended LonLatToEasting(const Ellipsoid& ellipsoid, Extended longitude, Extended latitude)
{
    FloatingPointScope scope;
    const ForwardSetup f = PrepareForward(ellipsoid, longitude, latitude);
    const Extended nu = f.nu, s = f.s, c = f.cosPhi, t = f.t, eta2 = f.eta2, p = f.p;

    const Extended T1 = nu * s * c;
    // 1 − t² + η²
    const Extended T3 = nu * kOneSixth * s * s * s * c * c * c * ((1 - t * t) + eta2);
    // 5 − 18t² + t⁴ + 14η² − 58t²η², with the two t² terms grouped as t²(18 + 58η²)
    const Extended T5 = nu * kOne120th * s * s * s * s * s * c * c * c * c * c
                      * (((5 - t * (t * (eta2 * 58 + 18))) + t * t * t * t) + eta2 * 14);

    const Extended E = ((T1 * p + T3 * p * p * p) + T5 * p * p * p * p * p) * ScaleFactor + FalseEasting;
    scope.Check();
    return E;
}

Extended LonLatToNorthing(const Ellipsoid& ellipsoid, Extended longitude, Extended latitude)
{
    FloatingPointScope scope;
    const ForwardSetup f = PrepareForward(ellipsoid, longitude, latitude);
    const Extended nu = f.nu, s = f.s, sn = f.sinPhi, c = f.cosPhi, t = f.t, eta2 = f.eta2, p = f.p;

    const Extended S = MeridianArc(DeriveArcCoefficients(f.k), latitude);
    const Extended T2 = nu * 0.5 * s * s * sn * c;
    // 5 − t² + 9η² + 4η⁴
    const Extended T4 = nu * kOne24th * s * s * s * s * sn * c * c * c
                      * (((5 - t * t) + eta2 * 9) + (eta2 * 4) * eta2);
    // 61 − 58t² + t⁴ + 270η² − 330t²η²
    const Extended T6 = nu * kOne720th * s * s * s * s * s * s * sn * c * c * c * c * c
                      * ((((61 - t * (t * 58)) + t * t * t * t) + eta2 * 270) - t * (t * (eta2 * 330)));

    // No false northing: N is 0 on the equator.
    const Extended N = (((S + T2 * p * p) + T4 * p * p * p * p) + T6 * p * p * p * p * p * p) * ScaleFactor;
    scope.Check();
    return N;
}

// What both inverse functions find before their own series: the footpoint latitude on
// this ellipsoid and the quantities there. The search is the fast one, whose result is
// the reference bisection's bit for bit (footpoint.h).
static FootpointQuantities InverseFootpoint(const EllipsoidConstants& k, Extended northing)
{
    const ArcCoefficients arc = DeriveArcCoefficients(k);
    const Footpoint footpoint = FastFootpointLatitude(arc, northing * InverseScaleFactor);
    return QuantitiesAtFootpoint(k, footpoint.latitude);
}

Extended TM2ToLatitude(const Ellipsoid& ellipsoid, Extended easting, Extended northing)
{
    FloatingPointScope scope;
    const EllipsoidConstants k = DeriveConstants(ellipsoid);
    const FootpointQuantities at = InverseFootpoint(k, northing);
    const Extended latitude = LatitudeFromSeries(at, LatitudeSeriesAt(at), ScaledEasting(easting));
    scope.Check();
    return latitude;
}

Extended TM2ToLongitude(const Ellipsoid& ellipsoid, Extended easting, Extended northing)
{
    FloatingPointScope scope;
    const EllipsoidConstants k = DeriveConstants(ellipsoid);
    const FootpointQuantities at = InverseFootpoint(k, northing);
    const Extended longitude = LongitudeFromSeries(LongitudeSeriesAt(at), ScaledEasting(easting));
    scope.Check();
    return longitude;
}

Geographic TM2ToGeographicPoint(const Ellipsoid& ellipsoid, Extended easting, Extended northing)
{
    // Everything up to the two series is what each function computes for itself from the
    // same arguments, with the same values; sin 1″ and q too.
    FloatingPointScope scope;
    const EllipsoidConstants k = DeriveConstants(ellipsoid);
    const FootpointQuantities at = InverseFootpoint(k, northing);
    const Extended s1 = SinOneSecond();
    const Extended q = ScaledEasting(easting);

    Geographic point;
    point.latitude = LatitudeFromSeries(at, LatitudeSeriesAt(at, s1), q);
    // TM2ToLatitude's error, if it raises one. Past this check the flags raised so far can
    // only be a silenced invalid operation, which cannot make the next check throw: so the
    // second check throws exactly what TM2ToLongitude would, from the shared steps and the
    // longitude series.
    scope.Check();
    point.longitude = LongitudeFromSeries(LongitudeSeriesAt(at, s1), q);
    scope.Check();
    return point;
}
