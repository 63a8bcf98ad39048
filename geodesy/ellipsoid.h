#pragma once
// Reference ellipsoids, the quantities derived from them and the TM2 grid constants.
// Lengths in metres, angles in degrees unless a name says radians.
#include <array>

#include "extended.h"

struct Ellipsoid {
    Extended SemiMajorAxis;      // a, metres
    Extended InverseFlattening;  // 1/f
};

// The inverse flattenings are the doubles nearest the published decimals, widened:
// written as double literals on purpose (298.247167L would differ in the last bits).
inline constexpr Ellipsoid kGRS67{6378160, 298.247167};       // TWD67
inline constexpr Ellipsoid kGRS80{6378137, 298.257222101};    // TWD97
// Indexed by the item index of the datum choice: 0 = GRS67, 1 = GRS80.
inline constexpr std::array<Ellipsoid, 2> kEllipsoids{kGRS67, kGRS80};

// Derived afresh from the two fields in a fixed operation order (f is never formed).
struct EllipsoidConstants {
    Extended a;    // SemiMajorAxis
    Extended b;    // SemiMinorAxis = a - a / InverseFlattening
    Extended n;    // ThirdFlattening = (a - b) / (a + b)
    Extended e2;   // FirstEccentricitySquared = (a·a - b·b) / (a·a)
    Extended ep2;  // SecondEccentricitySquared = (a·a - b·b) / (b·b)
};
EllipsoidConstants DeriveConstants(const Ellipsoid& ellipsoid);

inline constexpr Extended CentralMeridian = 121;      // degrees
inline constexpr Extended FalseEasting = 250000;      // metres
inline constexpr Extended ScaleFactor = 0.9999;       // the double nearest 0.9999, widened
// The extended number nearest 1 / (double 0.9999); the inverse multiplies by it.
inline constexpr Extended InverseScaleFactor = 1.0L / Extended(0.9999);
// pi/180 rounded to double, widened: the only degree/radian factor.
inline constexpr Extended DegreeToRadian = 0.017453292519943295;
