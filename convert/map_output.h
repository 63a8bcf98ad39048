#pragma once
// The map formats kartovel-convert writes besides its CSV lines: GeoJSON (RFC 7946),
// KML 2.2 and GPX 1.1, one point per converted pair or record, in UTF-8.
//
// Workers collect each point's texts (MapPoint); the one thread that writes the output
// in order renders them, so that the separators between GeoJSON features and the line
// numbers that name points in the pair stream come out right whichever worker converted
// them. A document is opened before the first input is read and closed after the last
// block is written, also after a stop, so that what was written still parses.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class OutputFormat { Csv, GeoJson, Kml, Gpx };

// "csv", "geojson", "kml", "gpx" in any case.
std::optional<OutputFormat> OutputFormatOfName(std::string_view name);

// One converted point.
struct MapPoint {
    std::size_t line;                 // counted as the block counts its lines
    std::string longitude;            // WGS 84 / TWD97 degrees, fixed 9 decimals
    std::string latitude;
    std::vector<std::string> fields;  // a record's field values, unquoted; none in the pair stream
};

// What one file's records mean: the names of their fields and which fields are what.
struct MapFields {
    std::vector<std::string> names;          // from the header line; none without one
    std::size_t xField = 0;                  // the coordinates, 0-based
    std::size_t yField = 1;
    std::optional<std::size_t> nameField;    // --name; otherwise the first other field
};

class MapWriter {
public:
    explicit MapWriter(OutputFormat format) : format_(format) {}

    std::string Header() const;
    // Appends the point's element. `line` is its line in the file; it names a point that
    // has no name field (every point of the pair stream).
    void AppendPoint(std::string& out, const MapPoint& point, std::size_t line, const MapFields& fields);
    std::string Footer() const;

private:
    OutputFormat format_;
    unsigned long long written_ = 0;
};

// Text as a JSON string, quotes included: " \ and control characters escaped.
std::string JsonString(std::string_view text);
// Text for XML character data and attribute values: & < > " ' as entities, and the
// control characters XML 1.0 forbids as U+FFFD.
std::string XmlText(std::string_view text);
