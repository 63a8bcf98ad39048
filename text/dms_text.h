#pragma once
// Angles written in degrees, minutes and seconds, as old maps and records give them.
//
// Accepted, with blanks allowed between the parts and around the whole:
//   120°58'25.97"   120°58′25.97″   120°58’25.97 (the window's own form: U+2019 for
//   minutes and no seconds sign)   120d58m25.97s   120°58'   120°58.433'   120°
//   and decimal degrees with a hemisphere letter: N23.5, 120.97E
// Degrees, minutes and seconds are digits; only the last part given may have a decimal
// point ("."). The degree sign may be °, º or d; minutes ', ′, ’ or m; seconds ", ″,
// '' or s, or nothing after minutes. The letters are lower case only, so that a capital
// S after the seconds is always the southern hemisphere. One sign (+ or -) in front, or one
// capital hemisphere letter in front or at the end: E or W for a longitude, N or S for a
// latitude; W and S make the angle negative. Minutes and seconds run from 0 to below
// 60. Standard library only; thread-safe; independent of DecimalMark and the locale.
#include <string_view>

#include "geodesy/extended.h"

enum class AngleAxis { Longitude, Latitude };

enum class DmsProblem {
    None,
    NotAnAngle,       // not one of the forms above
    MinutesTooLarge,  // 60 or more
    SecondsTooLarge,  // 60 or more
    WrongHemisphere,  // N or S on a longitude, E or W on a latitude
};

// The angle in decimal degrees: degrees + minutes / 60 + seconds / 3600 in Extended.
// `degrees` is left untouched on a problem.
DmsProblem ParseDms(std::string_view text, AngleAxis axis, Extended& degrees);
