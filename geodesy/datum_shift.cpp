#include "datum_shift.h"

#include <cmath>

#include "floating_point.h"

namespace {

struct Box {
    Extended west, east, south, north;
    bool Holds(Extended longitude, Extended latitude) const
    {
        return longitude >= west && longitude <= east && latitude >= south && latitude <= north;
    }
};

// Penghu and Matsu share 119.8–119.9° E but not a latitude, so the order is free.
constexpr Box kPenghu{119.0L, 119.9L, 23.0L, 23.9L};
constexpr Box kKinmen{118.1L, 118.6L, 24.3L, 24.6L};
constexpr Box kMatsu{119.8L, 120.7L, 25.9L, 26.5L};

// The published planar parameters: translation in metres, A the scale change and B the
// rotation, both dimensionless.
constexpr Extended kShiftEast = 807.8L;
constexpr Extended kShiftNorth = -248.6L;
constexpr Extended kA = 0.00001549L;
constexpr Extended kB = 0.000006521L;

// Penghu's geocentric translation from TWD67 to TWD97, metres.
constexpr Geocentric kPenghuShift{-752, -349, -179};

constexpr Extended kRadian = 0.0174532925199432957692369076848861271L;  // π/180 in Extended

Geographic Translate(const Ellipsoid& from, const Ellipsoid& to, Extended longitude, Extended latitude,
                     Extended sign)
{
    FloatingPointScope scope;
    Geocentric p = GeodeticToGeocentric(from, longitude, latitude, 0);
    p.x += sign * kPenghuShift.x;
    p.y += sign * kPenghuShift.y;
    p.z += sign * kPenghuShift.z;
    const Geodetic g = GeocentricToGeodetic(to, p);
    scope.Check();
    return {g.latitude, g.longitude};
}

}  // namespace

Region RegionOf(Extended longitude, Extended latitude)
{
    if (kPenghu.Holds(longitude, latitude)) return Region::Penghu;
    if (kKinmen.Holds(longitude, latitude)) return Region::Kinmen;
    if (kMatsu.Holds(longitude, latitude)) return Region::Matsu;
    return Region::MainIsland;
}

bool SurelyMainIslandOnZone121(Extended easting, Extended northing)
{
    // The boxes drawn on the zone-121 grid of either ellipsoid (edges sampled every 1/100
    // of their length) span Penghu E 44946..137993, N 2544706..2645398; Kinmen
    // E -44447..6919, N 2690349..2724580; Matsu E 129763..220096, N 2865504..2932506.
    // Each rectangle below holds its box with 5 km to spare on every side that bounds it.
    const Extended E = easting, N = northing;
    const bool nearPenghu = E < 143000 && N > 2539000 && N < 2651000;
    const bool nearKinmen = E < 12000 && N > 2685000 && N < 2730000;
    const bool nearMatsu = E < 226000 && N > 2860000 && N < 2938000;
    return !(nearPenghu || nearKinmen || nearMatsu);
}

Zone ZoneOf(Region region) { return region == Region::MainIsland ? Zone::Zone121 : Zone::Zone119; }

bool HasTWD67(Region region) { return region == Region::MainIsland || region == Region::Penghu; }

GridPoint PlanarTWD67ToTWD97(GridPoint twd67)
{
    FloatingPointScope scope;
    const Extended E = twd67.easting, N = twd67.northing;
    const GridPoint twd97{E + kShiftEast + kA * E + kB * N, N + kShiftNorth + kA * N + kB * E};
    scope.Check();
    return twd97;
}

GridPoint PlanarTWD97ToTWD67(GridPoint twd97)
{
    // The forward formula is the linear system
    //   | 1+A   B  | |E67|   |E97 − 807.8|
    //   |  B   1+A | |N67| = |N97 + 248.6|
    // solved by Cramer's rule with det = (1+A)² − B².
    FloatingPointScope scope;
    const Extended u = twd97.easting - kShiftEast;
    const Extended v = twd97.northing - kShiftNorth;
    const Extended diagonal = 1 + kA;
    const Extended det = diagonal * diagonal - kB * kB;
    const GridPoint twd67{(diagonal * u - kB * v) / det, (diagonal * v - kB * u) / det};
    scope.Check();
    return twd67;
}

Geographic GeocentricTWD67ToTWD97(Extended longitude, Extended latitude)
{
    return Translate(kGRS67, kGRS80, longitude, latitude, 1);
}

Geographic GeocentricTWD97ToTWD67(Extended longitude, Extended latitude)
{
    return Translate(kGRS80, kGRS67, longitude, latitude, -1);
}

Geocentric GeodeticToGeocentric(const Ellipsoid& ellipsoid, Extended longitude, Extended latitude, Extended height)
{
    const EllipsoidConstants k = DeriveConstants(ellipsoid);
    const Extended phi = latitude * kRadian, lambda = longitude * kRadian;
    const Extended sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    // ν: the radius of curvature in the prime vertical.
    const Extended nu = k.a / std::sqrt(1 - k.e2 * sinPhi * sinPhi);
    return {(nu + height) * cosPhi * std::cos(lambda), (nu + height) * cosPhi * std::sin(lambda),
            (nu * (1 - k.e2) + height) * sinPhi};
}

Geodetic GeocentricToGeodetic(const Ellipsoid& ellipsoid, const Geocentric& point)
{
    // Vermeille's closed form: the latitude from the one real root k of a quartic,
    // found through the cubic resolvent (t), with no iteration.
    const EllipsoidConstants c = DeriveConstants(ellipsoid);
    const Extended a = c.a, e2 = c.e2, e4 = e2 * e2;
    const Extended X = point.x, Y = point.y, Z = point.z;
    const Extended rho2 = X * X + Y * Y;
    const Extended p = rho2 / (a * a);
    const Extended q = (1 - e2) / (a * a) * Z * Z;
    const Extended r = (p + q - e4) / 6;
    const Extended s = e4 * p * q / (4 * r * r * r);
    const Extended t = std::cbrt(1 + s + std::sqrt(s * (2 + s)));
    const Extended u = r * (1 + t + 1 / t);
    const Extended v = std::sqrt(u * u + e4 * q);
    const Extended w = e2 * (u + v - q) / (2 * v);
    const Extended k = std::sqrt(u + v + w * w) - w;
    const Extended D = k * std::sqrt(rho2) / (k + e2);
    const Extended DZ = std::sqrt(D * D + Z * Z);
    Geodetic g;
    g.longitude = std::atan2(Y, X) / kRadian;
    g.latitude = 2 * std::atan2(Z, D + DZ) / kRadian;
    g.height = (k + e2 - 1) / k * DZ;
    return g;
}
