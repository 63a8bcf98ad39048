#pragma once
// The coordinate systems kartovel-convert knows by name, and the chain of steps that
// takes one point from one of them to another, datum shift included.
//
// Geographic values are (longitude, latitude) in degrees, grid values (E, N) in metres,
// east first. Nothing is range-checked here beyond the region rules below.
#include <optional>
#include <string>
#include <string_view>

#include "geodesy/datum_shift.h"
#include "geodesy/extended.h"
#include "geodesy/zones.h"
#include "text/dms_text.h"

enum class Crs { TWD67, TWD67TM2, TWD67TM2Zone119, TWD97, TWD97TM2, TWD97TM2Zone119, WGS84 };

struct CrsInfo {
    Crs crs;
    const char* name;  // as written on the command line (any case is accepted)
    int epsg;
    bool twd67;        // TWD67 on GRS67; otherwise TWD97 on GRS80 (WGS 84 is taken as TWD97)
    bool geographic;   // longitude latitude; otherwise TM2 easting northing
    Zone zone;         // of a grid
};

const CrsInfo& InfoOf(Crs crs);
// A name of the table in any case, or "EPSG:NNNN" (any case); nullopt for anything else.
std::optional<Crs> CrsOfName(std::string_view name);
// "twd67, twd67-tm2, ..." for messages.
std::string CrsNames();
// The same datum and kind as `crs` in the other zone (for a grid).
Crs OtherZone(Crs crs);

// What happened to one point.
enum class PointStep {
    Converted,
    NoTWD67There,  // Kinmen or Matsu with a TWD67 side: there is no such position
};

struct CrsResult {
    Extended x = 0;
    Extended y = 0;
    Region region = Region::MainIsland;  // by the point's position in `from`
    bool wrongZone = false;              // a grid target whose zone is not the region's
};

// One point from `from` to `to`. The region is decided on the point's longitude and
// latitude in `from`; between the datums the main island and its zone-121 islands take
// the planar transformation on the zone-121 grid, Penghu the geocentric translation;
// a point on Kinmen or Matsu is refused when either side is TWD67. Within one datum only
// the projections apply. FloatingPointError leaves as the projections raise it.
PointStep ConvertCrsPoint(Crs from, Crs to, Extended x, Extended y, CrsResult& result);

// The refusal's text for a point on Kinmen or Matsu (FILE:LINE: is put before it).
std::string NoTWD67Message(Region region);
// A record's geographic field that is neither a number nor an angle in degrees,
// minutes and seconds (FILE:LINE: is put before it).
std::string DmsFieldMessage(std::size_t field, const std::string& excerpt, DmsProblem problem);
// The notice after a run with points in the other zone than their region's.
std::string ZoneNotice(unsigned long long count, const std::string& firstPlace, Crs to);
// The warning after a run with points outside Taiwan's area, for --from.
std::string CrsAreaWarning(unsigned long long count, const std::string& firstPlace, Crs from);

// The texts of a result: the batch page's (degrees 8 and 7, metres 8 and 9 significant
// digits), or with `full` fixed 9 decimals for degrees and 4 for metres.
void FormatResult(bool geographic, bool full, Extended x, Extended y, std::string& first, std::string& second);
