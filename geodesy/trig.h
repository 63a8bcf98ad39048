#pragma once
// Sine, cosine, tangent and square root as the projection uses them: the argument
// arrives rounded to double (the parameter type does the rounding, to nearest), the
// result is computed and returned in extended precision and is never rounded back.
// Trigonometric arguments are radians.
//
// Sin, Cos and Tan refuse an argument whose magnitude is 2^53 or more, an infinity or
// a NaN: they return a quiet NaN and raise no floating-point flag, so no error follows
// (see floating_point.h). Below 2^53 every argument is reduced by the processor.
// Sqrt follows ordinary arithmetic: a negative argument raises the invalid-operation
// flag and gives NaN.
//
// On x86-64 these are the x87 instructions fsin, fcos, fptan and fsqrt; elsewhere the
// C library's sinl, cosl, tanl and sqrtl (also on x86-64 when built with
// -DKARTOVEL_PORTABLE_TRIG).
#include "extended.h"

Extended Sin(double x);
Extended Cos(double x);
Extended Tan(double x);
Extended Sqrt(double x);

// The projection forms its arguments in extended precision and hands them over rounded
// to the nearest double, as above. These overloads do that rounding by name, so that an
// extended value narrowed to double anywhere else still draws the compiler's warning.
inline Extended Sin(Extended x) { return Sin(static_cast<double>(x)); }
inline Extended Cos(Extended x) { return Cos(static_cast<double>(x)); }
inline Extended Tan(Extended x) { return Tan(static_cast<double>(x)); }
inline Extended Sqrt(Extended x) { return Sqrt(static_cast<double>(x)); }
