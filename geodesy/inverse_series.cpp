#include "inverse_series.h"

#include "trig.h"

// Fractions that are not binary are the extended numbers nearest to them.
static constexpr Extended kOneSixtieth = 1.0L / 60;
static constexpr Extended kOne3600th = 1.0L / 3600;
static constexpr Extended kMicro = 1e-6L;
// 10^6 is exact; higher powers of ten are applied as repeated multiplications by it.
static constexpr Extended kMega = 1e6;

Extended SinOneSecond()
{
    return Sin((DegreeToRadian * kOneSixtieth) * kOneSixtieth);
}

FootpointQuantities QuantitiesAtFootpoint(const EllipsoidConstants& k, Extended footpointDegrees)
{
    FootpointQuantities at;
    at.phi = footpointDegrees * DegreeToRadian;
    const Extended sinPhi = Sin(at.phi);
    const Extended cosPhi = Cos(at.phi);
    const Extended W2 = 1 - sinPhi * (sinPhi * k.e2);
    at.nu = k.a / Sqrt(W2);
    // W² enters ρ as formed, not as the square of the rounded root.
    at.rho = at.nu * (1 - k.e2) / W2;
    at.eta2 = cosPhi * (cosPhi * k.ep2);
    at.t = Tan(at.phi);
    at.c = cosPhi;
    return at;
}

Extended ScaledEasting(Extended easting)
{
    return ((easting - FalseEasting) * InverseScaleFactor) * kMicro;
}

LatitudeSeries LatitudeSeriesAt(const FootpointQuantities& at)
{
    return LatitudeSeriesAt(at, SinOneSecond());
}

LatitudeSeries LatitudeSeriesAt(const FootpointQuantities& at, Extended s1)
{
    const Extended nu = at.nu;
    const Extended rho = at.rho;
    const Extended eta2 = at.eta2;
    const Extended t = at.t;

    LatitudeSeries series;
    // tan φ / (2ρν sin 1″) · 10^12
    series.L2 = (t * kMega * kMega) / (s1 * ((nu * 2) * rho));
    // 5 + 3t² + η² − 4η⁴ − 9t²η²
    series.P4 = ((((t * (t * 3)) + 5) + eta2) - ((eta2 * 4) * eta2)) - (t * (t * (eta2 * 9)));
    // tan φ / (24ρν³ sin 1″) · P4 · 10^24
    series.L4 = series.P4 * ((t * kMega * kMega * kMega * kMega) / (s1 * ((((nu * 24) * nu) * nu) * rho)));
    // 61 + 90t² + 45t⁴ + 46η² − 252t²η²
    series.P6 = (((t * (t * (t * (t * 45)))) + ((t * (t * 90)) + 61)) + (eta2 * 46)) - (t * (t * (eta2 * 252)));
    // tan φ / (720ρν⁵ sin 1″) · P6 · 10^36
    series.L6 = series.P6
              * ((t * kMega * kMega * kMega * kMega * kMega * kMega)
                 / (s1 * ((((((nu * 720) * nu) * nu) * nu) * nu) * rho)));
    return series;
}

Extended LatitudeFromSeries(const FootpointQuantities& at, const LatitudeSeries& series, Extended q)
{
    const Extended q2 = q * q;
    const Extended q4 = q2 * q2;
    const Extended q6 = q4 * q2;
    const Extended delta = (((series.L2 * q2) - (series.L4 * q4)) + (series.L6 * q6)) * kOne3600th;
    // The footpoint in degrees is taken back from φ, not from the bisection's mid.
    return (at.phi / DegreeToRadian) - delta;
}

LongitudeSeries LongitudeSeriesAt(const FootpointQuantities& at)
{
    return LongitudeSeriesAt(at, SinOneSecond());
}

LongitudeSeries LongitudeSeriesAt(const FootpointQuantities& at, Extended s1)
{
    const Extended nu = at.nu;
    const Extended eta2 = at.eta2;
    const Extended t = at.t;
    const Extended c = at.c;

    LongitudeSeries series;
    // 10^6 / (ν cos φ sin 1″)
    series.M1 = kMega / (s1 * (c * nu));
    // (1 + 2t² + η²) · 10^18 / (6ν³ cos φ sin 1″)
    series.M3 = ((((t * (t * 2)) + 1) + eta2) * kMega * kMega * kMega) / (s1 * (c * (((nu * 6) * nu) * nu)));
    // 5 + 28t² + 24t⁴ + 6η² + 8t²η², the t²η² term first
    const Extended P5 = (t * (t * (eta2 * 8))) + (((t * (t * (t * (t * 24)))) + ((t * (t * 28)) + 5)) + (eta2 * 6));
    // P5 · 10^30 / (120ν⁵ cos φ sin 1″)
    series.M5 = (P5 * kMega * kMega * kMega * kMega * kMega) / (s1 * (c * (((((nu * 120) * nu) * nu) * nu) * nu)));
    return series;
}

Extended LongitudeFromSeries(const LongitudeSeries& series, Extended q)
{
    const Extended q3 = (q * q) * q;
    const Extended q5 = (q3 * q) * q;
    return ((((series.M1 * q) - (series.M3 * q3)) + (series.M5 * q5)) * kOne3600th) + CentralMeridian;
}
