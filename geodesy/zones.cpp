#include "zones.h"

// Degrees the zone's central meridian lies west of 121° E.
static Extended WestOf121(Zone zone) { return zone == Zone::Zone119 ? 2 : 0; }

GridPoint GeographicToZone(const Ellipsoid& ellipsoid, Zone zone, Extended longitude, Extended latitude)
{
    const Extended shifted = longitude + WestOf121(zone);
    // Northing before easting, as the pages compute them.
    const Extended northing = LonLatToNorthing(ellipsoid, shifted, latitude);
    const Extended easting = LonLatToEasting(ellipsoid, shifted, latitude);
    return {easting, northing};
}

Geographic ZoneToGeographic(const Ellipsoid& ellipsoid, Zone zone, Extended easting, Extended northing)
{
    Geographic point = TM2ToGeographicPoint(ellipsoid, easting, northing);
    point.longitude -= WestOf121(zone);
    return point;
}
