#include "trig.h"

#include <cmath>
#include <limits>

// Arguments at or beyond 2^53 carry no fraction of a turn any more; the result
// would be noise. isless is a quiet comparison: a NaN argument must not raise the
// invalid-operation flag on its way to the NaN result.
static bool InTrigRange(double x)
{
    return std::isless(std::fabs(x), 0x1p53);
}

static Extended RefusedArgument()
{
    return std::numeric_limits<Extended>::quiet_NaN();
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(KARTOVEL_PORTABLE_TRIG)

// Each instruction lives in a function of its own that is never inlined. At a call
// boundary the x87 register stack is empty, so the one extra slot that fptan pushes
// (a constant 1.0) can never overflow the eight-register stack, and the asm pops it
// straight away. Inlined into a caller that keeps values on the x87 stack, a bare
// fptan can overflow it and silently return NaN.

__attribute__((noinline)) static Extended ReducedSin(Extended x)
{
    asm("fsin" : "+t"(x));
    return x;
}

__attribute__((noinline)) static Extended ReducedCos(Extended x)
{
    asm("fcos" : "+t"(x));
    return x;
}

__attribute__((noinline)) static Extended ReducedTan(Extended x)
{
    // fptan leaves tan x in st(1) and pushes 1.0; popping st(0) leaves tan x on top.
    asm("fptan\n\tfstp %%st(0)" : "+t"(x));
    return x;
}

__attribute__((noinline)) static Extended ExtendedSqrt(Extended x)
{
    asm("fsqrt" : "+t"(x));
    return x;
}

#else

static Extended ReducedSin(Extended x) { return sinl(x); }
static Extended ReducedCos(Extended x) { return cosl(x); }
static Extended ReducedTan(Extended x) { return tanl(x); }
static Extended ExtendedSqrt(Extended x) { return sqrtl(x); }

#endif

Extended Sin(double x)
{
    return InTrigRange(x) ? ReducedSin(x) : RefusedArgument();
}

Extended Cos(double x)
{
    return InTrigRange(x) ? ReducedCos(x) : RefusedArgument();
}

Extended Tan(double x)
{
    return InTrigRange(x) ? ReducedTan(x) : RefusedArgument();
}

Extended Sqrt(double x)
{
    return ExtendedSqrt(x);
}
