#include "conversion.h"

#include "geodesy/projection.h"
#include "number_text.h"

std::string BatchResultLine(ConversionMode mode, const Ellipsoid& ellipsoid,
                            std::string_view xText, std::string_view yText)
{
    const Extended a = NumberFromText(xText);
    const Extended b = NumberFromText(yText);
    std::string line;
    if (mode == TM2ToGeographic) {
        // Latitude first, then longitude: the order the inverse functions are called in.
        const Extended latitude = TM2ToLatitude(ellipsoid, a, b);
        const Extended longitude = TM2ToLongitude(ellipsoid, a, b);
        line = GeneralFormat(longitude, 8);
        line += ' ';
        line += GeneralFormat(latitude, 7);
    } else {
        const Extended northing = LonLatToNorthing(ellipsoid, a, b);
        const Extended easting = LonLatToEasting(ellipsoid, a, b);
        line = GeneralFormat(easting, 8);
        line += ' ';
        line += GeneralFormat(northing, 9);
    }
    return line;
}

std::string BatchCellText(double value)
{
    return GeneralFormat(value, 15);
}
