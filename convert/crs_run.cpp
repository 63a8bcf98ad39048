#include "crs_run.h"

#include <algorithm>
#include <memory>

void SetNamedSystems(const ConvertOptions& options, MapWriter* map, ConversionSettings& settings)
{
    settings.from = options.from;
    settings.to = options.to;
    settings.fullPrecision = options.fullPrecision;
    settings.map = map;
    // The area warning looks at the input: degrees or grid metres.
    if (options.from) settings.mode = InfoOf(*options.from).geographic ? GeographicToTM2 : TM2ToGeographic;
    if (map) settings.mapFields = std::make_shared<const MapFields>();
}

void SetMapFields(ConversionSettings& settings, std::vector<std::string> names, std::optional<std::size_t> nameField)
{
    if (!settings.map) return;
    settings.mapFields = std::make_shared<const MapFields>(
        MapFields{std::move(names), settings.xField, settings.yField, nameField});
}

bool LooksLikeAngle(const ConversionSettings& settings, const std::string& field, bool longitude)
{
    if (!settings.from || !InfoOf(*settings.from).geographic) return false;
    Extended degrees;
    return ParseDms(field, longitude ? AngleAxis::Longitude : AngleAxis::Latitude, degrees) != DmsProblem::NotAnAngle;
}

bool FindNameField(const std::string& column, const std::vector<std::string>& names,
                   std::optional<std::size_t>& index, bool& header)
{
    if (column.find_first_not_of("0123456789") == std::string::npos) {
        index = std::stoul(column) - 1;  // 1 to 999999999, checked with the command line
        return true;
    }
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const auto found = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
        return name.size() == column.size() &&
               std::equal(name.begin(), name.end(), column.begin(), [&](char a, char b) { return lower(a) == lower(b); });
    });
    if (found == names.end()) return false;
    index = static_cast<std::size_t>(found - names.begin());
    header = true;
    return true;
}
