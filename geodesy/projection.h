#pragma once
// TM2 (2-degree Transverse Mercator, central meridian 121° E, false easting 250000 m,
// scale 0.9999) on a chosen ellipsoid, both directions.
//
// Angles are decimal degrees (longitude east, latitude north), grid values metres.
// The east value comes first: (longitude, latitude) and (E, N).
// Nothing is validated: out-of-range input yields numbers (or NaN), not errors. Only an
// intermediate leaving the extended range raises FloatingPointError (floating_point.h).
// Every call derives all ellipsoid quantities afresh and keeps nothing.
//
// The inverse functions find the footpoint latitude by bisection (footpoint.h): on
// 21..26 degrees for northings between the arcs there, beyond either end otherwise,
// so any northing up to the pole gets its own latitude. A NaN northing is an invalid
// operation.
#include "ellipsoid.h"
#include "extended.h"

Extended LonLatToEasting(const Ellipsoid& ellipsoid, Extended longitude, Extended latitude);
Extended LonLatToNorthing(const Ellipsoid& ellipsoid, Extended longitude, Extended latitude);

Extended TM2ToLatitude(const Ellipsoid& ellipsoid, Extended easting, Extended northing);
Extended TM2ToLongitude(const Ellipsoid& ellipsoid, Extended easting, Extended northing);

// Both inverse results of one grid position, degrees.
struct Geographic {
    Extended latitude;
    Extended longitude;
};
// TM2ToLatitude followed by TM2ToLongitude on the same arguments, with the footpoint found
// once: the same two values bit for bit, and the same FloatingPointError when one is
// raised (the latitude's if the latitude raises, else the longitude's). For the pages and
// the converter, which always want both.
Geographic TM2ToGeographicPoint(const Ellipsoid& ellipsoid, Extended easting, Extended northing);
