#pragma once
// The floating-point environment the program computes in: 64-bit precision, rounding
// to nearest; overflow, division by zero and invalid operation are errors, while
// underflow, denormal operands and inexact results pass silently.
//
// No hardware trap is armed. Instead a computation clears the sticky exception flags
// when it starts (FloatingPointScope) and tests them when it ends (Check), throwing
// FloatingPointError with the message of the first error kind found, in the order
// overflow, division by zero, invalid operation.
//
// TruncToInt switches the invalid-operation error off after its first use; from then
// on an invalid operation yields a NaN silently until ResetFloatingPointEnvironment()
// re-arms it (the window does so when it reports a FloatingPointError).
//
// Single-threaded state: the silenced flag is thread-local, so worker threads of the
// converter each have their own environment.
#include <stdexcept>
#include <string>

class FloatingPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kOverflowMessage = "Floating point overflow";
inline constexpr const char* kDivisionByZeroMessage = "Floating point division by zero";
inline constexpr const char* kInvalidOperationMessage = "Invalid floating point operation";

// Sets 64-bit precision and rounding to nearest, re-arms the invalid-operation error
// and clears the sticky flags. A thread that computes calls it before its first number.
void ResetFloatingPointEnvironment();
// True after TruncToInt has run and before the next reset.
bool InvalidOperationSilenced();
// Called by TruncToInt.
void SilenceInvalidOperation();

// Clears the sticky flags on construction; Check() throws FloatingPointError if an
// armed error kind has been raised since.
class FloatingPointScope {
public:
    FloatingPointScope();
    void Check() const;
};
