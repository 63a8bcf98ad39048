#include "map_output.h"

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The field's property name: its header name, or field1, field2, ... without a header
// (or beyond the header's fields, or for a blank header name).
std::string FieldName(const MapFields& fields, std::size_t index)
{
    if (index < fields.names.size() && !fields.names[index].empty()) return fields.names[index];
    return "field" + std::to_string(index + 1);
}

// The point's name: the chosen field, else the first field that is not a coordinate,
// else its line number.
std::string PointName(const MapPoint& point, std::size_t line, const MapFields& fields)
{
    if (fields.nameField) {
        if (*fields.nameField < point.fields.size()) return point.fields[*fields.nameField];
    } else {
        for (std::size_t i = 0; i < point.fields.size(); ++i)
            if (i != fields.xField && i != fields.yField) return point.fields[i];
    }
    return std::to_string(line);
}

bool IsProperty(const MapFields& fields, std::size_t index) { return index != fields.xField && index != fields.yField; }

}  // namespace

std::optional<OutputFormat> OutputFormatOfName(std::string_view name)
{
    const std::string lower = Lower(name);
    if (lower == "csv") return OutputFormat::Csv;
    if (lower == "geojson") return OutputFormat::GeoJson;
    if (lower == "kml") return OutputFormat::Kml;
    if (lower == "gpx") return OutputFormat::Gpx;
    return std::nullopt;
}

std::string JsonString(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;  // UTF-8 goes through as it is (records are checked to be UTF-8)
        }
    }
    out += '"';
    return out;
}

std::string XmlText(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            if ((u < 0x20 && c != '\t') || u == 0x7F)
                out += "\xEF\xBF\xBD";
            else
                out += c;
        }
    }
    return out;
}

std::string MapWriter::Header() const
{
    switch (format_) {
    case OutputFormat::GeoJson:
        return "{\"type\":\"FeatureCollection\",\"features\":[\n";
    case OutputFormat::Kml:
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n";
    case OutputFormat::Gpx:
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<gpx version=\"1.1\" creator=\"kartovel-convert\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    case OutputFormat::Csv:
        break;
    }
    return "";
}

std::string MapWriter::Footer() const
{
    switch (format_) {
    case OutputFormat::GeoJson: return written_ == 0 ? "]}\n" : "\n]}\n";
    case OutputFormat::Kml: return "</Document>\n</kml>\n";
    case OutputFormat::Gpx: return "</gpx>\n";
    case OutputFormat::Csv: break;
    }
    return "";
}

void MapWriter::AppendPoint(std::string& out, const MapPoint& point, std::size_t line, const MapFields& fields)
{
    const std::string name = PointName(point, line, fields);
    switch (format_) {
    case OutputFormat::GeoJson: {
        if (written_ != 0) out += ",\n";
        out += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[";
        out += point.longitude;
        out += ',';
        out += point.latitude;
        out += "]},\"properties\":{";
        bool first = true, hasName = false;
        for (std::size_t i = 0; i < point.fields.size(); ++i) {
            if (!IsProperty(fields, i)) continue;
            const std::string key = FieldName(fields, i);
            hasName = hasName || key == "name";
            if (!first) out += ',';
            first = false;
            out += JsonString(key);
            out += ':';
            out += JsonString(point.fields[i]);
        }
        if (!hasName) {
            if (!first) out += ',';
            out += "\"name\":";
            out += JsonString(name);
        }
        out += "}}";
        break;
    }
    case OutputFormat::Kml: {
        out += "<Placemark><name>";
        out += XmlText(name);
        out += "</name>";
        bool any = false;
        for (std::size_t i = 0; i < point.fields.size(); ++i) {
            if (!IsProperty(fields, i)) continue;
            out += any ? "" : "<ExtendedData>";
            any = true;
            out += "<Data name=\"";
            out += XmlText(FieldName(fields, i));
            out += "\"><value>";
            out += XmlText(point.fields[i]);
            out += "</value></Data>";
        }
        if (any) out += "</ExtendedData>";
        out += "<Point><coordinates>";
        out += point.longitude;
        out += ',';
        out += point.latitude;
        out += "</coordinates></Point></Placemark>\n";
        break;
    }
    case OutputFormat::Gpx:
        out += "<wpt lat=\"";
        out += point.latitude;
        out += "\" lon=\"";
        out += point.longitude;
        out += "\"><name>";
        out += XmlText(name);
        out += "</name></wpt>\n";
        break;
    case OutputFormat::Csv:
        break;
    }
    ++written_;
}
