#include "floating_point.h"

#include <cfenv>

// TruncToInt's side effect: once it has run, an invalid operation is no error until
// the environment is reset.
static thread_local bool invalidSilenced = false;

// x87 control word: precision control in bits 8-9 (11 = 64-bit significand), rounding
// control in bits 10-11 (00 = to nearest). Linux starts every thread so; 64-bit Windows
// starts each new thread with 53-bit precision (control word 0x27F), which would round
// every extended operation of a worker thread to double's significand.
static void SetExtendedPrecisionToNearest()
{
    unsigned short control;
    asm volatile("fnstcw %0" : "=m"(control));
    const unsigned short wanted = static_cast<unsigned short>((control & ~0x0F00u) | 0x0300u);
    if (wanted != control)
        asm volatile("fldcw %0" : : "m"(wanted));
}

void ResetFloatingPointEnvironment()
{
    invalidSilenced = false;
    SetExtendedPrecisionToNearest();
    std::feclearexcept(FE_ALL_EXCEPT);
}

bool InvalidOperationSilenced()
{
    return invalidSilenced;
}

void SilenceInvalidOperation()
{
    invalidSilenced = true;
}

FloatingPointScope::FloatingPointScope()
{
    // Clearing rewrites the whole x87 environment, which costs more than a projection's
    // series; reading the flags is cheap, and almost always finds none of them raised.
    if (std::fetestexcept(FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID) != 0)
        std::feclearexcept(FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID);
}

void FloatingPointScope::Check() const
{
    // glibc reads both the x87 status word and MXCSR, so double and long double
    // operations are both seen.
    const int raised = std::fetestexcept(FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID);
    if (raised == 0)
        return;
    if (raised & FE_OVERFLOW)
        throw FloatingPointError(kOverflowMessage);
    if (raised & FE_DIVBYZERO)
        throw FloatingPointError(kDivisionByZeroMessage);
    if (!invalidSilenced)
        throw FloatingPointError(kInvalidOperationMessage);
}
