#pragma once
// What the fast footpoint search and the combined inverse call are compared with: the
// reference bisection (every arc evaluated), the inverse series on its footpoint, and the
// outcome of a call as bits, iteration count, raised error flags or error message.
#include <cfenv>
#include <cstring>
#include <string>

#include "geodesy/floating_point.h"
#include "geodesy/footpoint.h"
#include "geodesy/inverse_series.h"
#include "geodesy/projection.h"
#include "number_strings.h"

inline ArcCoefficients ArcOf(const Ellipsoid& e)
{
    return DeriveArcCoefficients(DeriveConstants(e));
}

// Equal as stored: the 80 value bits of the extended format (NaNs and signed zeros
// included); the 48 padding bits of long double are not compared.
inline bool SameBits(Extended a, Extended b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

inline constexpr int kErrorFlags = FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID;

// One search as the caller sees it: the footpoint and the error flags it raised.
struct SearchOutcome {
    Footpoint footpoint;
    int flags;
};

template <typename Search>
SearchOutcome Searched(Search search)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    const Footpoint footpoint = search();
    return {footpoint, std::fetestexcept(kErrorFlags)};
}

inline std::string Describe(const SearchOutcome& o)
{
    return Full(o.footpoint.latitude) + " after " + std::to_string(o.footpoint.iterations) + " steps, flags "
         + std::to_string(o.flags);
}

inline bool SameSearch(const SearchOutcome& a, const SearchOutcome& b)
{
    return SameBits(a.footpoint.latitude, b.footpoint.latitude) && a.footpoint.iterations == b.footpoint.iterations
        && a.flags == b.flags;
}

// The inverse functions as they stand without the fast search: the reference footpoint,
// then the same series, in the same floating-point scope.
inline Extended ReferenceLatitude(const Ellipsoid& e, Extended easting, Extended northing)
{
    FloatingPointScope scope;
    const EllipsoidConstants k = DeriveConstants(e);
    const Footpoint f = FootpointLatitude(DeriveArcCoefficients(k), northing * InverseScaleFactor);
    const FootpointQuantities at = QuantitiesAtFootpoint(k, f.latitude);
    const Extended latitude = LatitudeFromSeries(at, LatitudeSeriesAt(at), ScaledEasting(easting));
    scope.Check();
    return latitude;
}

inline Extended ReferenceLongitude(const Ellipsoid& e, Extended easting, Extended northing)
{
    FloatingPointScope scope;
    const EllipsoidConstants k = DeriveConstants(e);
    const Footpoint f = FootpointLatitude(DeriveArcCoefficients(k), northing * InverseScaleFactor);
    const FootpointQuantities at = QuantitiesAtFootpoint(k, f.latitude);
    const Extended longitude = LongitudeFromSeries(LongitudeSeriesAt(at), ScaledEasting(easting));
    scope.Check();
    return longitude;
}

// A caller converting one point: the latitude first, then the longitude, stopping at the
// first error.
struct PointOutcome {
    Extended latitude = 0;
    Extended longitude = 0;
    std::string error;  // empty when both values were returned
};

template <typename Convert>
PointOutcome Converted(Convert convert)
{
    PointOutcome o;
    try {
        convert(o);
    } catch (const FloatingPointError& error) {
        o.error = error.what();
    }
    return o;
}

inline PointOutcome PairOf(Extended (*latitude)(const Ellipsoid&, Extended, Extended),
                           Extended (*longitude)(const Ellipsoid&, Extended, Extended), const Ellipsoid& e,
                           Extended easting, Extended northing)
{
    return Converted([&](PointOutcome& o) {
        o.latitude = latitude(e, easting, northing);
        o.longitude = longitude(e, easting, northing);
    });
}

inline PointOutcome CombinedOf(const Ellipsoid& e, Extended easting, Extended northing)
{
    return Converted([&](PointOutcome& o) {
        const Geographic point = TM2ToGeographicPoint(e, easting, northing);
        o.latitude = point.latitude;
        o.longitude = point.longitude;
    });
}

inline bool SamePoint(const PointOutcome& a, const PointOutcome& b)
{
    if (!a.error.empty() || !b.error.empty())
        return a.error == b.error;
    return SameBits(a.latitude, b.latitude) && SameBits(a.longitude, b.longitude);
}

inline std::string Describe(const PointOutcome& o)
{
    if (!o.error.empty())
        return "error \"" + o.error + "\"";
    return "latitude " + Full(o.latitude) + ", longitude " + Full(o.longitude);
}
