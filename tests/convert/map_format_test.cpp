// GeoJSON, KML and GPX from the converter, read back with real parsers (Qt's JSON
// document and XML stream reader): values, escaping, names, and documents closed after
// a stop.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <unistd.h>

struct Ran {
    int status;
    std::string out;
};

static Ran Convert(const std::string& arguments, const std::string& input)
{
    // Each test runs in a process of its own, side by side with the others: its own files.
    const std::string dir = testing::TempDir() + "kartovel_map_" + std::to_string(getpid()) + "_";
    std::ofstream(dir + "map_in", std::ios::binary) << input;
    const std::string command = std::string(KARTOVEL_CONVERT) + " " + arguments + " < " + dir + "map_in > " + dir +
                                "map_out 2> /dev/null";
    const int wait = std::system(command.c_str());
    std::ifstream in(dir + "map_out", std::ios::binary);
    Ran ran{WEXITSTATUS(wait), std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
    std::remove((dir + "map_in").c_str());
    std::remove((dir + "map_out").c_str());
    return ran;
}

// One point as a parser reads it back.
struct Point {
    double lon = 0, lat = 0;
    std::string name;
    std::map<std::string, std::string> data;
};

static std::vector<Point> ReadGeoJson(const std::string& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    EXPECT_EQ(document.object()["type"].toString(), "FeatureCollection");
    std::vector<Point> points;
    for (const QJsonValue& feature : document.object()["features"].toArray()) {
        const QJsonObject object = feature.toObject();
        EXPECT_EQ(object["geometry"].toObject()["type"].toString(), "Point");
        const QJsonArray position = object["geometry"].toObject()["coordinates"].toArray();
        Point point{position[0].toDouble(), position[1].toDouble(), "", {}};
        const QJsonObject properties = object["properties"].toObject();
        for (auto it = properties.begin(); it != properties.end(); ++it)
            point.data[it.key().toStdString()] = it.value().toString().toStdString();
        point.name = point.data["name"];
        points.push_back(point);
    }
    return points;
}

// KML Placemarks or GPX waypoints.
static std::vector<Point> ReadXml(const std::string& text, const QString& root)
{
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    std::vector<Point> points;
    QString dataName;
    EXPECT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name().toString(), root);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QString element = xml.name().toString();
        if (element == "Placemark") {
            points.emplace_back();
        } else if (element == "wpt") {
            points.push_back({xml.attributes().value("lon").toDouble(), xml.attributes().value("lat").toDouble(), "", {}});
        } else if (element == "name") {
            points.back().name = xml.readElementText().toStdString();
        } else if (element == "Data") {
            dataName = xml.attributes().value("name").toString();
        } else if (element == "value") {
            points.back().data[dataName.toStdString()] = xml.readElementText().toStdString();
        } else if (element == "coordinates") {
            const QStringList parts = xml.readElementText().split(',');
            points.back().lon = parts.value(0).toDouble();
            points.back().lat = parts.value(1).toDouble();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << "\n" << text;
    return points;
}

static std::vector<Point> Read(const std::string& format, const std::string& text)
{
    if (format == "geojson") return ReadGeoJson(text);
    return ReadXml(text, format == "kml" ? "kml" : "gpx");
}

// Names and values that need escaping in JSON or XML, and Chinese text.
static const std::string kRecords =
    "id,E,N,name\n"
    "1,250000,2600000,\"A & <B> \"\"q\"\" 'x'\"\n"
    "2,248171.1252,2652129.9486,back\\slash\ttab\n"
    "3,250000,2700000,三角點 <一>\n";

TEST(MapFormat, RecordsReadBack)
{
    for (const std::string format : {"geojson", "kml", "gpx"}) {
        const Ran run = Convert("--from twd97-tm2 --to wgs84 --columns E,N --name name --output-format " + format, kRecords);
        EXPECT_EQ(run.status, 0) << format;
        std::vector<Point> points = Read(format, run.out);
        ASSERT_EQ(points.size(), 3u) << format;
        const char* names[] = {"A & <B> \"q\" 'x'", "back\\slash\ttab", "三角點 <一>"};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(points[i].name, names[i]) << format;
        // 121 E on the central meridian; the second point near 120.98 E 23.97 N.
        EXPECT_NEAR(points[0].lon, 121, 1e-9) << format;
        EXPECT_NEAR(points[0].lat, 23.503148377, 1e-9) << format;
        EXPECT_NEAR(points[1].lon, 120.98203, 1e-5) << format;
        EXPECT_NEAR(points[1].lat, 23.97388, 1e-5) << format;
        if (format != "gpx") {
            EXPECT_EQ(points[2].data["id"], "3") << format;
        }
    }
}

TEST(MapFormat, PairStreamNamesAreLineNumbers)
{
    // Enough lines for several blocks on several threads, with blank lines between.
    std::string input;
    for (int i = 0; i < 40000; ++i) input += i % 7 == 3 ? "\n" : "250000 2600000\n";
    for (const std::string format : {"geojson", "kml", "gpx"}) {
        const Ran run = Convert("--from twd67-tm2 --to twd97 -j 4 --output-format " + format, input);
        EXPECT_EQ(run.status, 0);
        std::vector<Point> points = Read(format, run.out);
        ASSERT_EQ(points.size(), 40000u - 5714) << format;  // 5714 blank lines
        EXPECT_EQ(points.front().name, "1") << format;
        EXPECT_EQ(points.back().name, "40000") << format;
        EXPECT_EQ(points[3].name, "5") << format;
    }
}

TEST(MapFormat, ClosedAfterAStop)
{
    for (const std::string format : {"geojson", "kml", "gpx"}) {
        const Ran stopped = Convert("--from twd97-tm2 --to twd97 --output-format " + format, "250000 2600000\n1 2 3\n");
        EXPECT_EQ(stopped.status, 1) << format;
        EXPECT_EQ(Read(format, stopped.out).size(), 1u) << format;
        const Ran empty = Convert("--from twd97-tm2 --to twd97 --output-format " + format, "");
        EXPECT_EQ(empty.status, 0) << format;
        EXPECT_EQ(Read(format, empty.out).size(), 0u) << format;
    }
}
