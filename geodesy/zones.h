#pragma once
// TM2 in either of Taiwan's two zones: central meridian 121° E (the main island and the
// islands near it) or 119° E (Penghu, Kinmen, Matsu), with the same false easting
// 250000 m and scale 0.9999.
//
// A Transverse Mercator depends on the longitude only through λ − λ0, so zone 119 is
// the zone-121 projection (projection.h) of the longitude moved east by 2°, and the
// zone-121 inverse gives zone 119's longitude less 2°. The shift is exact, not merely
// close: a longitude between 62° and 126° and the same longitude + 2° lie in the same
// binade [64, 128), so the addition and the subtraction are exact in Extended and the
// series see the same λ − λ0 that a 119° central meridian would give them. Zone 121 is
// the projection functions themselves, bit for bit.
//
// Degrees and metres, east first; nothing is validated (as projection.h).
#include "ellipsoid.h"
#include "extended.h"
#include "projection.h"

enum class Zone { Zone121 = 121, Zone119 = 119 };

struct GridPoint {
    Extended easting;
    Extended northing;
};

GridPoint GeographicToZone(const Ellipsoid& ellipsoid, Zone zone, Extended longitude, Extended latitude);
Geographic ZoneToGeographic(const Ellipsoid& ellipsoid, Zone zone, Extended easting, Extended northing);
