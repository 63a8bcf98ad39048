#include "floating_point.h"

#include <cfenv>

// TruncToInt's side effect: once it has run, an invalid operation is no error until
// the environment is reset.
static thread_local bool invalidSilenced = false;

void ResetFloatingPointEnvironment()
{
    invalidSilenced = false;
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
