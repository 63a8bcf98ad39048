#include "text/taiwan_area.h"

namespace {
// Written as "inside" tests so that a not-a-number coordinate fails them.
bool Inside(ConversionMode mode, Extended x, Extended y)
{
    if (mode == TM2ToGeographic)
        return x >= 0 && x <= 500000 && y >= 2300000 && y <= 2900000;
    return x >= 117 && x <= 124 && y >= 20 && y <= 27;
}
}  // namespace

AreaFit FitTaiwanArea(ConversionMode mode, Extended x, Extended y)
{
    if (Inside(mode, x, y))
        return AreaFit::Inside;
    // The two boxes do not overlap their mirror images, so a swapped point is never
    // inside both ways.
    return Inside(mode, y, x) ? AreaFit::InsideWhenSwapped : AreaFit::Outside;
}

void AreaTally::Add(ConversionMode mode, Extended x, Extended y, std::size_t row)
{
    const AreaFit fit = FitTaiwanArea(mode, x, y);
    if (fit == AreaFit::Inside)
        return;
    if (outside++ == 0)
        firstRow = row;
    latitudeFirst += FitTaiwanArea(GeographicToTM2, x, y) == AreaFit::InsideWhenSwapped;
    swapped += fit == AreaFit::InsideWhenSwapped;
    const ConversionMode other = mode == TM2ToGeographic ? GeographicToTM2 : TM2ToGeographic;
    otherDirection += FitTaiwanArea(other, x, y) == AreaFit::Inside;
}

std::string BatchAreaNotice(ConversionMode mode, const AreaTally& tally)
{
    if (tally.outside == 0)
        return {};
    const std::string n = std::to_string(tally.outside);
    const std::string row = std::to_string(tally.firstRow);
    const bool toGeographic = mode == TM2ToGeographic;
    std::string chinese = "注意：" + n + " 列的坐標在臺灣範圍外，第一列是第 " + row + " 列（範圍：" +
                          (toGeographic ? "E 0～500000、N 2300000～2900000 公尺" : "經度 117～124、緯度 20～27 度") +
                          "）。這些列的結果照算出的數值列出。";
    std::string english = "Note: " + (tally.outside == 1 ? "1 row lies" : n + " rows lie") +
                          " outside Taiwan's area, the first is row " + row + " (" +
                          (toGeographic ? "E 0 to 500000 m, N 2300000 to 2900000 m"
                                        : "longitude 117 to 124, latitude 20 to 27 degrees") +
                          "). Their results are listed as computed.";
    const std::string choose1 = "「１．ＴＭ２轉經緯度」", choose2 = "「２．經緯度轉ＴＭ２」";
    if (tally.latitudeFirst == tally.outside) {
        chinese += "這些列看來是緯度在前、經度在後（Google 地圖複製坐標的順序），x、y 欄對調了：請把兩欄對調，讓經度在前";
        english += " They look like latitude before longitude (the order in which Google Maps copies a point): x and "
                   "y are swapped. Swap the two columns so that the longitude comes first";
        if (toGeographic) {
            chinese += "，並在 Step1 選" + choose2;
            english += ", choose \"２．經緯度轉ＴＭ２\" in Step1,";
        }
        chinese += "，再計算。";
        english += " and compute again.";
    } else if (tally.swapped == tally.outside) {
        chinese += "這些列看來是 N 在前、E 在後，x、y 欄對調了：請把兩欄對調，讓 E 在前，再計算。";
        english += " They look like northing before easting: x and y are swapped. Swap the two columns so that the "
                   "easting comes first, and compute again.";
    } else if (tally.otherDirection == tally.outside) {
        chinese += toGeographic ? "這些是經緯度嗎？那請在 Step1 選" + choose2 + "，再計算。"
                                : "這些是 TM2 坐標嗎？那請在 Step1 選" + choose1 + "，再計算。";
        english += toGeographic ? " Are they longitude and latitude? Then choose \"２．經緯度轉ＴＭ２\" in Step1 and "
                                  "compute again."
                                : " Are they TM2 eastings and northings? Then choose \"１．ＴＭ２轉經緯度\" in Step1 "
                                  "and compute again.";
    } else {
        chinese += "請檢查 Step1 的轉換方式與兩欄的順序（x 在前、y 在後）。";
        english += " Check the direction in Step1 and the order of the two columns (x first, then y).";
    }
    return chinese + "\n\n" + english;
}
