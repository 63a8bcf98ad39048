// Taiwan's area as both programs test it, and the batch page's notice after a run.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "text/taiwan_area.h"

TEST(TaiwanArea, Fit)
{
    const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
    struct Case {
        const char* name;
        ConversionMode mode;
        Extended x, y;
        AreaFit fit;
    };
    const std::vector<Case> table = {
        {"grid point", TM2ToGeographic, 247342, 2652335, AreaFit::Inside},
        {"grid corners included", TM2ToGeographic, 0, 2900000, AreaFit::Inside},
        {"grid just beyond", TM2ToGeographic, 500000.01L, 2600000, AreaFit::Outside},
        {"grid northing first", TM2ToGeographic, 2652335, 247342, AreaFit::InsideWhenSwapped},
        {"degrees as grid", TM2ToGeographic, 121, 23.5, AreaFit::Outside},
        {"degrees", GeographicToTM2, 121.51706L, 25.04776L, AreaFit::Inside},
        {"degree corners included", GeographicToTM2, 117, 27, AreaFit::Inside},
        {"latitude first", GeographicToTM2, 25.04776L, 121.51706L, AreaFit::InsideWhenSwapped},
        {"grid as degrees", GeographicToTM2, 247342, 2652335, AreaFit::Outside},
        {"not a number", GeographicToTM2, nan, 23.5, AreaFit::Outside},
    };
    for (const Case& c : table)
        EXPECT_EQ(FitTaiwanArea(c.mode, c.x, c.y), c.fit) << c.name;
}

TEST(TaiwanArea, BatchNotice)
{
    struct Row {
        Extended x, y;
    };
    struct Case {
        const char* name;
        ConversionMode mode;
        std::vector<Row> rows;
        std::string notice;  // "" for none
    };
    const std::string geoArea = "經度 117～124、緯度 20～27 度";
    const std::vector<Case> table = {
        {"all inside", GeographicToTM2, {{121, 23.5}, {120.97388L, 23.97564L}}, ""},
        {"Google Maps order", GeographicToTM2, {{121, 23.5}, {25.04776L, 121.51706L}, {23.97564L, 120.97388L}},
         "注意：2 列的坐標在臺灣範圍外，第一列是第 2 列（範圍：" + geoArea + "）。這些列的結果照算出的數值列出。"
         "這些列看來是緯度在前、經度在後（Google 地圖複製坐標的順序），x、y 欄對調了：請把兩欄對調，讓經度在前，再計算。\n\n"
         "Note: 2 rows lie outside Taiwan's area, the first is row 2 (longitude 117 to 124, latitude 20 to 27 "
         "degrees). Their results are listed as computed. They look like latitude before longitude (the order in "
         "which Google Maps copies a point): x and y are swapped. Swap the two columns so that the longitude comes "
         "first and compute again."},
        {"Google Maps order computed as grid", TM2ToGeographic, {{25.04776L, 121.51706L}},
         "注意：1 列的坐標在臺灣範圍外，第一列是第 1 列（範圍：E 0～500000、N 2300000～2900000 公尺）。"
         "這些列的結果照算出的數值列出。這些列看來是緯度在前、經度在後（Google 地圖複製坐標的順序），x、y 欄對調了："
         "請把兩欄對調，讓經度在前，並在 Step1 選「２．經緯度轉ＴＭ２」，再計算。\n\n"
         "Note: 1 row lies outside Taiwan's area, the first is row 1 (E 0 to 500000 m, N 2300000 to 2900000 m). "
         "Their results are listed as computed. They look like latitude before longitude (the order in which "
         "Google Maps copies a point): x and y are swapped. Swap the two columns so that the longitude comes first, "
         "choose \"２．經緯度轉ＴＭ２\" in Step1, and compute again."},
        {"northing first", TM2ToGeographic, {{2652335, 247342}},
         "注意：1 列的坐標在臺灣範圍外，第一列是第 1 列（範圍：E 0～500000、N 2300000～2900000 公尺）。"
         "這些列的結果照算出的數值列出。這些列看來是 N 在前、E 在後，x、y 欄對調了：請把兩欄對調，讓 E 在前，再計算。\n\n"
         "Note: 1 row lies outside Taiwan's area, the first is row 1 (E 0 to 500000 m, N 2300000 to 2900000 m). "
         "Their results are listed as computed. They look like northing before easting: x and y are swapped. Swap "
         "the two columns so that the easting comes first, and compute again."},
        {"grid computed as degrees", GeographicToTM2, {{247342, 2652335}, {250000, 2600000}},
         "注意：2 列的坐標在臺灣範圍外，第一列是第 1 列（範圍：" + geoArea + "）。這些列的結果照算出的數值列出。"
         "這些是 TM2 坐標嗎？那請在 Step1 選「１．ＴＭ２轉經緯度」，再計算。\n\n"
         "Note: 2 rows lie outside Taiwan's area, the first is row 1 (longitude 117 to 124, latitude 20 to 27 "
         "degrees). Their results are listed as computed. Are they TM2 eastings and northings? Then choose "
         "\"１．ＴＭ２轉經緯度\" in Step1 and compute again."},
        {"no common reason", GeographicToTM2, {{247342, 2652335}, {0, 0}},
         "注意：2 列的坐標在臺灣範圍外，第一列是第 1 列（範圍：" + geoArea + "）。這些列的結果照算出的數值列出。"
         "請檢查 Step1 的轉換方式與兩欄的順序（x 在前、y 在後）。\n\n"
         "Note: 2 rows lie outside Taiwan's area, the first is row 1 (longitude 117 to 124, latitude 20 to 27 "
         "degrees). Their results are listed as computed. Check the direction in Step1 and the order of the two "
         "columns (x first, then y)."},
    };
    for (const Case& c : table) {
        AreaTally tally;
        for (std::size_t r = 0; r < c.rows.size(); ++r)
            tally.Add(c.mode, c.rows[r].x, c.rows[r].y, r + 1);
        EXPECT_EQ(BatchAreaNotice(c.mode, tally), c.notice) << c.name;
    }
}
