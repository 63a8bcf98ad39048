#include "conversion.h"

#include "geodesy/projection.h"
#include "number_text.h"

void ComputeResultTexts(ConversionMode mode, const Ellipsoid& ellipsoid, Extended x, Extended y,
                        PointResultTexts& texts)
{
    if (mode == TM2ToGeographic) {
        // TM2ToLatitude then TM2ToLongitude, one footpoint for both: the same values and
        // the same error as the two calls in that order.
        const Geographic point = TM2ToGeographicPoint(ellipsoid, x, y);
        texts.first = GeneralFormat(point.longitude, 8);
        texts.second = GeneralFormat(point.latitude, 7);
    } else {
        // The northing first: its error, if both fail, is the one reported.
        const Extended northing = LonLatToNorthing(ellipsoid, x, y);
        const Extended easting = LonLatToEasting(ellipsoid, x, y);
        texts.first = GeneralFormat(easting, 8);
        texts.second = GeneralFormat(northing, 9);
    }
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
