#pragma once
// How an error that leaves an event handler reaches the user: one error box, and the
// program goes on. Used by the catching connection wrapper of the window and by the
// application's event-delivery backstop, so both report alike.
#include <exception>

#include <QString>

class Desktop;

// The error box text for an error message: the message, with "." appended when its last
// character sorts after "." (so a sentence without a final stop gets one, while a message
// ending in ".", a blank, a quote or a closing parenthesis is left as it is). An empty
// message stays empty.
QString ErrorBoxText(const QString& message);

// Shows the given error in the desktop's error box. A FloatingPointError first puts the
// floating-point environment back to its defaults, re-arming the invalid-operation error
// that number truncation switches off. Standard exceptions show their what() as UTF-8;
// anything else shows a fixed text.
void ReportError(Desktop& desktop, std::exception_ptr error);

// Runs a handler, reporting whatever leaves it. Returns false when an error was reported.
template <class Handler>
bool RunReportingErrors(Desktop& desktop, Handler&& handler)
{
    try {
        handler();
        return true;
    } catch (...) {
        ReportError(desktop, std::current_exception());
        return false;
    }
}
