#pragma once
// Start-up where no display can be opened. Qt then ends the process from inside the
// application object's constructor: a fatal message about its platform plugin, after
// some warnings, and an abort (exit status 134). While a NoDisplayGuard lives, Qt's
// messages are held back; a fatal one is replaced by one line saying that the program
// needs a graphical desktop, in Traditional Chinese and English, and the process exits
// with status 1. When the guard ends without that, the held messages are passed on.
class NoDisplayGuard {
public:
    NoDisplayGuard();
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard&) = delete;
    NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;
};

// The line printed (without its line end).
extern const char* const kNoDisplayLine;
