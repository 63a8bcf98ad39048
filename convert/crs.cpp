#include "crs.h"

#include <array>
#include <utility>

#include "messages.h"
#include "text/conversion.h"
#include "text/number_text.h"

namespace {

constexpr std::array<CrsInfo, 7> kTable{{
    {Crs::TWD67, "twd67", 3821, true, true, Zone::Zone121},
    {Crs::TWD67TM2, "twd67-tm2", 3828, true, false, Zone::Zone121},
    {Crs::TWD67TM2Zone119, "twd67-tm2-119", 3827, true, false, Zone::Zone119},
    {Crs::TWD97, "twd97", 3824, false, true, Zone::Zone121},
    {Crs::TWD97TM2, "twd97-tm2", 3826, false, false, Zone::Zone121},
    {Crs::TWD97TM2Zone119, "twd97-tm2-119", 3825, false, false, Zone::Zone119},
    {Crs::WGS84, "wgs84", 4326, false, true, Zone::Zone121},
}};

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

const Ellipsoid& EllipsoidOf(const CrsInfo& info) { return info.twd67 ? kGRS67 : kGRS80; }

const char* RegionName(Region region, bool chinese)
{
    switch (region) {
    case Region::Penghu: return chinese ? "澎湖" : "Penghu";
    case Region::Kinmen: return chinese ? "金門" : "Kinmen";
    case Region::Matsu: return chinese ? "馬祖" : "Matsu";
    case Region::MainIsland: break;
    }
    return chinese ? "台灣本島" : "the main island";
}

}  // namespace

const CrsInfo& InfoOf(Crs crs) { return kTable[static_cast<std::size_t>(crs)]; }

std::optional<Crs> CrsOfName(std::string_view name)
{
    const std::string lower = Lower(name);
    for (const CrsInfo& info : kTable)
        if (lower == info.name || lower == "epsg:" + std::to_string(info.epsg)) return info.crs;
    return std::nullopt;
}

std::string CrsNames()
{
    std::string names;
    for (const CrsInfo& info : kTable) {
        if (!names.empty()) names += ", ";
        names += info.name;
    }
    return names;
}

Crs OtherZone(Crs crs)
{
    switch (crs) {
    case Crs::TWD67TM2: return Crs::TWD67TM2Zone119;
    case Crs::TWD67TM2Zone119: return Crs::TWD67TM2;
    case Crs::TWD97TM2: return Crs::TWD97TM2Zone119;
    case Crs::TWD97TM2Zone119: return Crs::TWD97TM2;
    default: return crs;
    }
}

PointStep ConvertCrsPoint(Crs from, Crs to, Extended x, Extended y, CrsResult& result)
{
    const CrsInfo& source = InfoOf(from);
    const CrsInfo& target = InfoOf(to);
    const Ellipsoid& sourceEllipsoid = EllipsoidOf(source);
    const Ellipsoid& targetEllipsoid = EllipsoidOf(target);

    // The point's place decides the steps: its longitude and latitude in `from`, found
    // only when needed (most zone-121 grid points are plainly on the main island).
    const bool fromZone121 = !source.geographic && source.zone == Zone::Zone121;
    const bool plainlyMainIsland = fromZone121 && SurelyMainIslandOnZone121(x, y);
    std::optional<Geographic> place;
    auto here = [&]() -> const Geographic& {
        if (!place)
            place = source.geographic ? Geographic{y, x} : ZoneToGeographic(sourceEllipsoid, source.zone, x, y);
        return *place;
    };
    result.region = plainlyMainIsland ? Region::MainIsland : RegionOf(here().longitude, here().latitude);
    if ((source.twd67 || target.twd67) && !HasTWD67(result.region)) return PointStep::NoTWD67There;
    result.wrongZone = !target.geographic && target.zone != ZoneOf(result.region);

    // The target from a longitude and latitude on its datum.
    auto finish = [&](const Geographic& there) {
        if (target.geographic) {
            result.x = there.longitude;
            result.y = there.latitude;
        } else {
            const GridPoint grid = GeographicToZone(targetEllipsoid, target.zone, there.longitude, there.latitude);
            result.x = grid.easting;
            result.y = grid.northing;
        }
        return PointStep::Converted;
    };

    if (source.twd67 == target.twd67) {
        if (!source.geographic && !target.geographic && source.zone == target.zone) {
            result.x = x;  // the same grid: nothing to compute
            result.y = y;
            return PointStep::Converted;
        }
        return finish(here());
    }
    if (result.region == Region::Penghu)
        return finish(source.twd67 ? GeocentricTWD67ToTWD97(here().longitude, here().latitude)
                                   : GeocentricTWD97ToTWD67(here().longitude, here().latitude));

    // The planar transformation works on zone-121 grids: a zone-121 source is used as
    // given, anything else goes there through its longitude and latitude.
    const GridPoint grid = fromZone121 ? GridPoint{x, y}
                                       : GeographicToZone(sourceEllipsoid, Zone::Zone121, here().longitude, here().latitude);
    const GridPoint shifted = source.twd67 ? PlanarTWD67ToTWD97(grid) : PlanarTWD97ToTWD67(grid);
    if (!target.geographic && target.zone == Zone::Zone121) {
        result.x = shifted.easting;
        result.y = shifted.northing;
        return PointStep::Converted;
    }
    return finish(ZoneToGeographic(targetEllipsoid, Zone::Zone121, shifted.easting, shifted.northing));
}

std::string NoTWD67Message(Region region)
{
    if (ChineseMessages())
        return std::string("這個點在") + RegionName(region, true) +
               "，當地從未使用 TWD67，沒有 TWD67 坐標可以轉換；請以 TWD97 坐標輸入或輸出（twd97、twd97-tm2-119）";
    return std::string("the point lies on ") + RegionName(region, false) +
           ", where TWD67 was never used, so it has no TWD67 coordinates to convert; give and ask for TWD97 "
           "coordinates there (twd97, twd97-tm2-119)";
}

std::string DmsFieldMessage(std::size_t field, const std::string& excerpt, DmsProblem problem)
{
    const std::string n = std::to_string(field);
    const bool chinese = ChineseMessages();
    std::string why;
    switch (problem) {
    case DmsProblem::MinutesTooLarge:
        why = chinese ? "分為 60 或以上；分與秒須小於 60" : "has 60 or more minutes; minutes and seconds run from 0 to below 60";
        break;
    case DmsProblem::SecondsTooLarge:
        why = chinese ? "秒為 60 或以上；分與秒須小於 60" : "has 60 or more seconds; minutes and seconds run from 0 to below 60";
        break;
    case DmsProblem::WrongHemisphere:
        why = chinese ? "的方位字母不合：經度用 E 或 W，緯度用 N 或 S；請檢查 --columns 的順序（經度在前）"
                      : "has the wrong hemisphere letter: E or W for a longitude, N or S for a latitude; check that "
                        "--columns gives the longitude first";
        break;
    default:
        why = chinese ? "不是數字，也不是度分秒（例如 120°58'25.97\" 或 120d58m25.97s）；請檢查 --columns 選的欄位"
                      : "is neither a number nor degrees, minutes and seconds (such as 120°58'25.97\" or "
                        "120d58m25.97s); check the fields --columns picks";
    }
    return chinese ? "第 " + n + " 欄：「" + excerpt + "」" + why : "field " + n + ": \"" + excerpt + "\" " + why;
}

std::string ZoneNotice(unsigned long long count, const std::string& firstPlace, Crs to)
{
    const std::string n = std::to_string(count);
    const bool toZone121 = InfoOf(to).zone == Zone::Zone121;
    const std::string other = InfoOf(OtherZone(to)).name;
    if (ChineseMessages())
        return "kartovel-convert: 注意：" + n + " 個點" +
               (toZone121 ? "在澎湖、金門或馬祖，當地用 TM2 119 度分帶" : "在台灣本島，本島用 TM2 121 度分帶") +
               "，第一個在 " + firstPlace + "；已依要求轉為 " + (toZone121 ? "121" : "119") +
               " 度分帶。要用當地的分帶請改用 --to " + other + "\n";
    return "kartovel-convert: notice: " + n + (count == 1 ? " point lies" : " points lie") +
           (toZone121 ? " on Penghu, Kinmen or Matsu, where TM2 zone 119 is used"
                      : " on the main island, where TM2 zone 121 is used") +
           (count == 1 ? ", at " : ", the first at ") + firstPlace + "; converted to zone " +
           (toZone121 ? "121" : "119") + " as asked; for the zone used there, use --to " + other + "\n";
}

std::string CrsAreaWarning(unsigned long long count, const std::string& firstPlace, Crs from)
{
    const std::string n = std::to_string(count);
    const std::string name = InfoOf(from).name;
    const bool geographic = InfoOf(from).geographic;
    if (ChineseMessages())
        return "kartovel-convert: 警告：" + n + " 個點在台灣範圍外，第一個在 " + firstPlace + "；" +
               (geographic ? "這些真的是經度 緯度嗎？請檢查 --from " : "這些真的是 TM2 東距 北距嗎？請檢查 --from ") +
               name + "\n";
    const char* question = count == 1 ? (geographic ? "is it a longitude and latitude?" : "is it a TM2 easting and northing?")
                                      : (geographic ? "are they longitudes and latitudes?" : "are they TM2 eastings and northings?");
    return "kartovel-convert: warning: " + n + (count == 1 ? " point lies" : " points lie") +
           " outside Taiwan's area" + (count == 1 ? ", at " : ", the first at ") + firstPlace + "; " + question +
           " Check --from " + name + "\n";
}

void FormatResult(bool geographic, bool full, Extended x, Extended y, std::string& first, std::string& second)
{
    if (full) {
        // 1e-9 degrees is about 0.1 mm, as is 1e-4 m.
        const int decimals = geographic ? 9 : 4;
        first = FixedFormat(x, 18, decimals);
        second = FixedFormat(y, 18, decimals);
    } else {
        PointResultTexts texts;
        FormatResultTexts(geographic, x, y, texts);
        first = std::move(texts.first);
        second = std::move(texts.second);
    }
}
