// The coordinate systems by name: every road between them against the published check
// values and back again, the Kinmen/Matsu refusal, and the converter's texts for them.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "convert/crs.h"

static const bool kEnglishMessages = [] {
    unsetenv("LANGUAGE");
    return setenv("LC_ALL", "C.UTF-8", 1) == 0;
}();

TEST(Crs, NamesAndCodes)
{
    const std::pair<const char*, Crs> rows[] = {
        {"twd67", Crs::TWD67},           {"TWD67-TM2", Crs::TWD67TM2}, {"epsg:3827", Crs::TWD67TM2Zone119},
        {"EPSG:3824", Crs::TWD97},       {"twd97-tm2", Crs::TWD97TM2}, {"EPSG:3825", Crs::TWD97TM2Zone119},
        {"Wgs84", Crs::WGS84},           {"EPSG:4326", Crs::WGS84},
    };
    for (const auto& [name, crs] : rows) EXPECT_EQ(CrsOfName(name), crs) << name;
    for (const char* name : {"twd67-tm2-121", "EPSG:3826x", "epsg3826", "", "grs80"})
        EXPECT_FALSE(CrsOfName(name)) << name;
}

struct CheckRow {
    Crs from, to;
    Extended x, y, expectedX, expectedY;
    double tolerance;  // in the target's unit
};

TEST(Crs, PublishedCheckValues)
{
    const CheckRow rows[] = {
        {Crs::TWD67TM2, Crs::TWD97TM2, 247342.198, 2652335.851, 248171.1252, 2652129.9486, 1e-3},
        {Crs::TWD67TM2, Crs::TWD97TM2, 300000, 2750000, 300830.3797, 2749795.9538, 1e-3},
        {Crs::TWD67TM2Zone119, Crs::TWD97TM2Zone119, 310000, 2620000, 310826.779, 2619802.764, 1e-3},
        {Crs::TWD67, Crs::WGS84, 119.6, 23.6, 119.608095, 23.598268, 5e-7},
        // The same points the other way, by the exact inverses.
        {Crs::TWD97TM2, Crs::TWD67TM2, 248171.1252, 2652129.9486, 247342.198, 2652335.851, 1e-3},
        {Crs::TWD97TM2Zone119, Crs::TWD67TM2Zone119, 310826.779, 2619802.764, 310000, 2620000, 4e-3},
    };
    for (const CheckRow& row : rows) {
        CrsResult result;
        ASSERT_EQ(ConvertCrsPoint(row.from, row.to, row.x, row.y, result), PointStep::Converted);
        EXPECT_NEAR(double(result.x), double(row.expectedX), row.tolerance) << InfoOf(row.from).name;
        EXPECT_NEAR(double(result.y), double(row.expectedY), row.tolerance) << InfoOf(row.from).name;
    }
}

// Every pair of systems, there and back, on the main island (Taichung) and on Penghu:
// the main island's road is exact both ways (0.1 mm left for the projections), Penghu's
// drops the height the translation gives (about 3 mm back).
TEST(Crs, EveryRoadThereAndBack)
{
    const Crs all[] = {Crs::TWD67, Crs::TWD67TM2, Crs::TWD67TM2Zone119, Crs::TWD97,
                       Crs::TWD97TM2, Crs::TWD97TM2Zone119, Crs::WGS84};
    struct Place {
        const char* name;
        Extended lon, lat;
        double metres;
    };
    for (const Place& place : {Place{"Taichung", 120.68L, 24.15L, 1e-4}, Place{"Penghu", 119.57L, 23.57L, 4e-3}}) {
        for (Crs from : all)
            for (Crs to : all) {
                // The start in `from`, from the TWD97 or TWD67 degrees of the place.
                CrsResult start, there, back;
                const Crs degrees = InfoOf(from).twd67 ? Crs::TWD67 : Crs::TWD97;
                ASSERT_EQ(ConvertCrsPoint(degrees, from, place.lon, place.lat, start), PointStep::Converted);
                ASSERT_EQ(ConvertCrsPoint(from, to, start.x, start.y, there), PointStep::Converted);
                ASSERT_EQ(ConvertCrsPoint(to, from, there.x, there.y, back), PointStep::Converted);
                const double unit = InfoOf(from).geographic ? 111000 : 1;  // metres a unit, roughly
                EXPECT_LE(std::fabs(double(back.x - start.x)) * unit, place.metres)
                    << place.name << " " << InfoOf(from).name << " -> " << InfoOf(to).name;
                EXPECT_LE(std::fabs(double(back.y - start.y)) * unit, place.metres)
                    << place.name << " " << InfoOf(from).name << " -> " << InfoOf(to).name;
            }
    }
}

TEST(Crs, TheDatumShiftDoesNotDependOnTheRoad)
{
    // TWD67 degrees to TWD97 degrees directly, and through each grid: the same place
    // within 0.1 mm.
    CrsResult direct;
    ASSERT_EQ(ConvertCrsPoint(Crs::TWD67, Crs::TWD97, 121.2L, 23.1L, direct), PointStep::Converted);
    for (Crs grid : {Crs::TWD67TM2, Crs::TWD67TM2Zone119}) {
        CrsResult onGrid, viaGrid;
        ConvertCrsPoint(Crs::TWD67, grid, 121.2L, 23.1L, onGrid);
        ASSERT_EQ(ConvertCrsPoint(grid, Crs::TWD97, onGrid.x, onGrid.y, viaGrid), PointStep::Converted);
        EXPECT_NEAR(double(viaGrid.x), double(direct.x), 1e-9) << InfoOf(grid).name;
        EXPECT_NEAR(double(viaGrid.y), double(direct.y), 1e-9) << InfoOf(grid).name;
    }
    // About 850 m from the ellipsoid-only answer, as the old maps' users find.
    const double east = (double(direct.x) - 121.2) * 111320 * std::cos(23.1 * M_PI / 180);
    const double north = (double(direct.y) - 23.1) * 110760;
    EXPECT_NEAR(std::hypot(east, north), 850, 30);
}

TEST(Crs, KinmenAndMatsuHaveNoTWD67)
{
    struct Row {
        Crs from, to;
        Extended x, y;
        PointStep step;
    };
    const Row rows[] = {
        {Crs::TWD67, Crs::TWD97, 118.35L, 24.45L, PointStep::NoTWD67There},
        {Crs::TWD97, Crs::TWD67TM2Zone119, 119.95L, 26.15L, PointStep::NoTWD67There},
        {Crs::TWD67, Crs::TWD67TM2Zone119, 118.1L, 24.3L, PointStep::NoTWD67There},   // the box's corner
        {Crs::TWD67, Crs::TWD97, 118.09L, 24.3L, PointStep::Converted},              // just outside it
        {Crs::TWD97, Crs::TWD97TM2Zone119, 118.35L, 24.45L, PointStep::Converted},
        {Crs::TWD97TM2Zone119, Crs::WGS84, 350000, 2893000, PointStep::Converted},   // Matsu, TWD97
        {Crs::TWD67TM2Zone119, Crs::WGS84, 350000, 2893000, PointStep::NoTWD67There}, // Matsu, TWD67
    };
    for (const Row& row : rows) {
        CrsResult result;
        EXPECT_EQ(ConvertCrsPoint(row.from, row.to, row.x, row.y, result), row.step)
            << InfoOf(row.from).name << " " << double(row.x) << " " << double(row.y);
    }
}

TEST(Crs, ZoneThatDoesNotFit)
{
    struct Row {
        Crs to;
        Extended lon, lat;
        bool wrongZone;
    };
    const Row rows[] = {
        {Crs::TWD97TM2, 119.6L, 23.6L, true},  {Crs::TWD97TM2Zone119, 119.6L, 23.6L, false},
        {Crs::TWD97TM2, 120.2L, 26.2L, true},  {Crs::TWD97TM2Zone119, 121.5L, 25.0L, true},
        {Crs::TWD97TM2, 121.5L, 25.0L, false}, {Crs::WGS84, 119.6L, 23.6L, false},
    };
    for (const Row& row : rows) {
        CrsResult result;
        ConvertCrsPoint(Crs::TWD97, row.to, row.lon, row.lat, result);
        EXPECT_EQ(result.wrongZone, row.wrongZone) << InfoOf(row.to).name << " " << double(row.lon);
    }
}

// The program itself: exact texts of the results, messages and exit status.
struct RunRow {
    std::string arguments;  // may start with VARIABLE=value words for the environment
    std::string input;
    std::string out;
    std::string err;
    int status;
};

static std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Crs, ConverterTexts)
{
    const std::string dir = testing::TempDir() + "kartovel_crs_" + std::to_string(getpid()) + "_";
    const std::string usage = "Usage: kartovel-convert [--to-geographic | --to-tm2] [OPTION]... [FILE...]\n"
                              "Try 'kartovel-convert --help' for more information.\n";
    const RunRow rows[] = {
        {"--from twd67-tm2 --to twd97-tm2", "247342.198 2652335.851\n", "248171.13 2652129.95\n", "", 0},
        {"--from TWD67-TM2 --to EPSG:3826 --precision full", "247342.198 2652335.851\n",
         "248171.1252 2652129.9486\n", "", 0},
        {"--from twd67 --to wgs84 --precision full", "119.6 23.6\n", "119.608095263 23.598267703\n", "", 0},
        {"--from twd67 --to twd97", "121 23.5\n118.3 24.4\n121 24\n", "121.00811 23.49821\n",
         "<stdin>:2: the point lies on Kinmen, where TWD67 was never used, so it has no TWD67 coordinates to "
         "convert; give and ask for TWD97 coordinates there (twd97, twd97-tm2-119)\n", 1},
        {"--from twd97 --to twd97-tm2", "121 24\n119.6 23.6\n120.0 26.1\n", "250000 2655023.12\n107115.24 2611424.39\n149974.07 2888008.7\n",
         "kartovel-convert: notice: 2 points lie on Penghu, Kinmen or Matsu, where TM2 zone 119 is used, the first "
         "at <stdin>:2; converted to zone 121 as asked; for the zone used there, use --to twd97-tm2-119\n", 0},
        {"LC_ALL=zh_TW.UTF-8 --from twd67-tm2-119 --to twd97", "310000 2620000\n350000 2893000\n", "119.59639 23.68082\n",
         "<stdin>:2: 這個點在馬祖，當地從未使用 TWD67，沒有 TWD67 坐標可以轉換；請以 TWD97 坐標輸入或輸出（twd97、twd97-tm2-119）\n", 1},
        {"--from twd97 --to twd97-tm2 --quiet", "119.6 23.6\n", "107115.24 2611424.39\n", "", 0},
        {"--from twd97 --to twd97-tm2-119", "121 24\n", "453511.05 2656468.22\n",
         "kartovel-convert: notice: 1 point lies on the main island, where TM2 zone 121 is used, at <stdin>:1; "
         "converted to zone 119 as asked; for the zone used there, use --to twd97-tm2\n", 0},
        {"--from twd97-tm2 --to twd97 --columns E,N --precision full", "id,E,N\nA,250000,2600000\n",
         "id,E,N,longitude,latitude\nA,250000,2600000,121.000000000,23.503148377\n", "", 0},
        {"--from twd67 --to twd97-tm2 --columns lon,lat", "lon,lat\n120°58’25.97,23°58'25.97\"\n",
         "lon,lat,easting,northing\n120°58’25.97,23°58'25.97\",248170.95,2651933.83\n", "", 0},
        // The same point in decimal degrees.
        {"--from twd67 --to twd97-tm2", "120.973880555556 23.973880555556\n", "248170.95 2651933.83\n", "", 0},
        {"--from twd67 --to twd97 --columns 1,2", "121°,23°60'\n", "",
         "<stdin>:1: field 2: \"23°60'\" has 60 or more minutes; minutes and seconds run from 0 to below 60\n", 1},
        {"--from twd67-tm2 --to twd97 --columns 1,2", "250000,2600000\n250000,23°30'\n", "250000,2600000,121.00811,23.50128\n",
         "<stdin>:2: field 2: \"23°30'\" is not a number; check the fields --columns picks\n", 1},
        {"--to-tm2 --from twd97 --to twd97-tm2", "", "",
         "kartovel-convert: --to-tm2 and --to-geographic do not go with --from and --to, which already say the "
         "direction\n" + usage, 2},
        {"--from twd97 --to twd67 --ellipsoid grs80", "", "",
         "kartovel-convert: --ellipsoid does not go with --from and --to: each coordinate system has its own datum "
         "and ellipsoid (twd67: GRS67, twd97: GRS80)\n" + usage, 2},
        {"--from twd97", "", "",
         "kartovel-convert: --from and --to go together: name both coordinate systems, such as --from twd67-tm2 "
         "--to twd97\n" + usage, 2},
        {"--to-geographic --output-format kml", "", "",
         "kartovel-convert: GeoJSON, KML and GPX hold WGS 84 longitude and latitude: convert to TWD97 or WGS 84 "
         "longitude latitude with --to twd97 or --to wgs84 (for TWD67 input, --from twd67-tm2 or --from twd67 "
         "shifts the datum)\n" + usage, 2},
    };
    for (const RunRow& row : rows) {
        std::ofstream(dir + "crs_in", std::ios::binary) << row.input;
        const std::size_t split = row.arguments.starts_with("LC_ALL=") ? row.arguments.find(' ') + 1 : 0;
        const std::string command = row.arguments.substr(0, split) + KARTOVEL_CONVERT + " " + row.arguments.substr(split) +
                                    " < " + dir + "crs_in > " + dir + "crs_out 2> " + dir + "crs_err";
        const int wait = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(wait), row.status) << row.arguments;
        EXPECT_EQ(Slurp(dir + "crs_out"), row.out) << row.arguments;
        EXPECT_EQ(Slurp(dir + "crs_err"), row.err) << row.arguments;
    }
}
