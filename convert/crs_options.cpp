#include "crs_options.h"

#include "messages.h"

std::string UnknownCrsMessage(const std::string& name)
{
    return Localized("unknown coordinate system '", "不認得的坐標系統 '") + name + "' (" + CrsNames() +
           Localized(", or EPSG:3821, 3828, 3827, 3824, 3826, 3825, 4326)", "，或 EPSG:3821、3828、3827、3824、3826、3825、4326）");
}

std::string UnknownPrecisionMessage(const std::string& name)
{
    return Localized("unknown precision '", "不認得的精度 '") + name +
           Localized("' (full, or batch for the batch page's digits)", "'（full，或 batch 即批次頁的位數）");
}

std::string UnknownOutputFormatMessage(const std::string& name)
{
    return Localized("unknown output format '", "不認得的輸出格式 '") + name + "' (csv, geojson, kml, gpx)";
}

std::optional<std::string> CrsOptionsProblem(const ConvertOptions& options, bool directionGiven, bool ellipsoidGiven)
{
    const bool named = options.from || options.to;
    if (named && directionGiven)
        return Localized("--to-tm2 and --to-geographic do not go with --from and --to, which already say the direction",
                         "--to-tm2 與 --to-geographic 不能與 --from、--to 同用：--from、--to 已決定轉換方向");
    if (named && ellipsoidGiven)
        return Localized("--ellipsoid does not go with --from and --to: each coordinate system has its own datum and "
                         "ellipsoid (twd67: GRS67, twd97: GRS80)",
                         "--ellipsoid 不能與 --from、--to 同用：每個坐標系統有自己的基準與橢球體（twd67：GRS67，twd97：GRS80）");
    if (named && !(options.from && options.to))
        return Localized("--from and --to go together: name both coordinate systems, such as --from twd67-tm2 --to twd97",
                         "--from 與 --to 要一起用：兩個坐標系統都要指定，例如 --from twd67-tm2 --to twd97");
    if (options.outputFormat != OutputFormat::Csv) {
        const bool lonLat97 = named ? options.to == Crs::TWD97 || options.to == Crs::WGS84
                                    : options.mode == TM2ToGeographic && options.ellipsoidIndex == 1;
        if (!lonLat97)
            return Localized("GeoJSON, KML and GPX hold WGS 84 longitude and latitude: convert to TWD97 or WGS 84 "
                             "longitude latitude with --to twd97 or --to wgs84 (for TWD67 input, --from twd67-tm2 or "
                             "--from twd67 shifts the datum)",
                             "GeoJSON、KML 與 GPX 存放 WGS 84 經緯度：請用 --to twd97 或 --to wgs84 轉成 TWD97 或 "
                             "WGS 84 經緯度（TWD67 的資料用 --from twd67-tm2 或 --from twd67 做基準轉換）");
        if (options.replace)
            return Localized("--replace writes records back; it does not go with --output-format geojson, kml or gpx",
                             "--replace 是寫回記錄，不能與 --output-format geojson、kml 或 gpx 同用");
    } else if (options.nameField) {
        return Localized("--name picks the name of a GeoJSON, KML or GPX point; use it with --output-format",
                         "--name 選 GeoJSON、KML 或 GPX 點的名稱，要與 --output-format 同用");
    }
    return std::nullopt;
}
