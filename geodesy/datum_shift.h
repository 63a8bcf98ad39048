#pragma once
// From TWD67 (GRS67) to TWD97 (GRS80) and back: the shifts Taiwan's surveyors use, each
// where it was determined, chosen by the point's position.
//
//   main island and the islands of zone 121: the planar 4-parameter transformation on
//     TM2 zone-121 grid coordinates (stated to about 2 m at most on the main island);
//   Penghu: a geocentric 3-parameter translation (a few metres);
//   Kinmen, Matsu: none. TWD67 was never realised there, so no TWD67 coordinates of a
//     point there exist to shift.
//
// Degrees (longitude east, latitude north) and metres, east first. Nothing is
// validated: only an intermediate leaving the extended range raises FloatingPointError
// (floating_point.h), as in the projections. Heights are not carried: a point is taken
// on the ellipsoid (h = 0) of the datum it is given in, and the height the translation
// gives it on the other ellipsoid is dropped. On Penghu that height is 5 to 20 m, and
// dropping it is why TWD67 -> TWD97 -> TWD67 there returns within about 3 mm rather
// than exactly (the two ellipsoids' normals differ by about 1.3e-4 rad).
#include "ellipsoid.h"
#include "extended.h"
#include "projection.h"
#include "zones.h"

// Where a point lies, by its longitude and latitude (in whichever datum it is given:
// the two differ by less than 0.01°, so only points within about 900 m of a box's edge
// can fall on the other side of it). Boxes include their edges:
//   Penghu  119.0–119.9° E, 23.0–23.9° N
//   Kinmen  118.1–118.6° E, 24.3–24.6° N
//   Matsu   119.8–120.7° E, 25.9–26.5° N
//   everything else is the main island's.
enum class Region { MainIsland, Penghu, Kinmen, Matsu };
Region RegionOf(Extended longitude, Extended latitude);

// True when a TM2 zone-121 position, on GRS67 or GRS80, lies certainly outside the three
// island boxes, so that RegionOf its longitude and latitude is MainIsland: found without
// the inverse projection. False near or inside a box (then ask RegionOf).
bool SurelyMainIslandOnZone121(Extended easting, Extended northing);

// The TM2 zone used in a region: 119 for Penghu, Kinmen and Matsu, 121 elsewhere.
Zone ZoneOf(Region region);

// True where a TWD67 position exists (everywhere but Kinmen and Matsu).
bool HasTWD67(Region region);

// The planar 4-parameter transformation on zone-121 grids:
//   E97 = E67 + 807.8 + A·E67 + B·N67
//   N97 = N67 − 248.6 + A·N67 + B·E67,   A = 0.00001549, B = 0.000006521,
// and its exact inverse (the 2×2 system solved, not the published reverse formula,
// which misses the forward one by up to 1.2 cm).
GridPoint PlanarTWD67ToTWD97(GridPoint twd67);
GridPoint PlanarTWD97ToTWD67(GridPoint twd97);

// Penghu's translation: TWD67 geodetic on GRS67 to geocentric, + (−752, −349, −179) m,
// to geodetic on GRS80; and the reverse. Exact conversions both ways (no Molodensky
// abridgement).
Geographic GeocentricTWD67ToTWD97(Extended longitude, Extended latitude);
Geographic GeocentricTWD97ToTWD67(Extended longitude, Extended latitude);

// Earth-centred, earth-fixed coordinates, metres.
struct Geocentric {
    Extended x;
    Extended y;
    Extended z;
};
Geocentric GeodeticToGeocentric(const Ellipsoid& ellipsoid, Extended longitude, Extended latitude, Extended height);
// The closed form of Vermeille (2004); exact for every point farther than about 43 km
// from the earth's centre. Height in metres above the ellipsoid.
struct Geodetic {
    Extended longitude;
    Extended latitude;
    Extended height;
};
Geodetic GeocentricToGeodetic(const Ellipsoid& ellipsoid, const Geocentric& point);
