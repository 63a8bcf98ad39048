#include "conversion.h"

#include "geodesy/projection.h"
#include "number_text.h"

PointResultValues ComputeResultValues(ConversionMode mode, const Ellipsoid& ellipsoid, Extended x, Extended y)
{
    if (mode == TM2ToGeographic) {
        // TM2ToLatitude then TM2ToLongitude, one footpoint for both: the same values and
        // the same error as the two calls in that order.
        const Geographic point = TM2ToGeographicPoint(ellipsoid, x, y);
        return {point.longitude, point.latitude};
    }
    // The northing first: its error, if both fail, is the one reported.
    const Extended northing = LonLatToNorthing(ellipsoid, x, y);
    const Extended easting = LonLatToEasting(ellipsoid, x, y);
    return {easting, northing};
}

void FormatResultTexts(bool geographic, Extended first, Extended second, PointResultTexts& texts)
{
    texts.first = GeneralFormat(first, 8);
    texts.second = GeneralFormat(second, geographic ? 7 : 9);
}

void ComputeResultTexts(ConversionMode mode, const Ellipsoid& ellipsoid, Extended x, Extended y,
                        PointResultTexts& texts)
{
    const PointResultValues values = ComputeResultValues(mode, ellipsoid, x, y);
    FormatResultTexts(mode == TM2ToGeographic, values.first, values.second, texts);
}

BatchRowValues AppendBatchResultLine(std::string& out, ConversionMode mode, const Ellipsoid& ellipsoid,
                                     std::string_view xText, std::string_view yText)
{
    const Extended x = NumberFromText(xText);
    const Extended y = NumberFromText(yText);
    PointResultTexts texts;
    ComputeResultTexts(mode, ellipsoid, x, y, texts);
    AppendResultTexts(out, texts);
    return {x, y};
}

std::string BatchResultLine(ConversionMode mode, const Ellipsoid& ellipsoid,
                            std::string_view xText, std::string_view yText)
{
    std::string line;
    AppendBatchResultLine(line, mode, ellipsoid, xText, yText);
    return line;
}

std::string BatchCellText(double value)
{
    return GeneralFormat(value, 15);
}
