#include "conversion.h"

#include "geodesy/projection.h"
#include "number_text.h"

BatchRowValues AppendBatchResultLine(std::string& out, ConversionMode mode, const Ellipsoid& ellipsoid,
                           std::string_view xText, std::string_view yText)
{
    const Extended a = NumberFromText(xText);
    const Extended b = NumberFromText(yText);
    if (mode == TM2ToGeographic) {
        // TM2ToLatitude then TM2ToLongitude, one footpoint for both: the same values and
        // the same error as the two calls in that order.
        const Geographic point = TM2ToGeographicPoint(ellipsoid, a, b);
        out += GeneralFormat(point.longitude, 8);
        out += ' ';
        out += GeneralFormat(point.latitude, 7);
    } else {
        const Extended northing = LonLatToNorthing(ellipsoid, a, b);
        const Extended easting = LonLatToEasting(ellipsoid, a, b);
        out += GeneralFormat(easting, 8);
        out += ' ';
        out += GeneralFormat(northing, 9);
    }
    return {a, b};
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
