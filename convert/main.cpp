// kartovel-convert: the batch page's conversion for scripts, pipes and spreadsheet files.
//
// Every number goes the way the batch page takes it (the batch-file grammar, then the
// 15-digit table text, then the result-line rule), "." as the decimal mark. The C locale
// is never changed, so nothing here depends on the user's locale.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "convert_options.h"
#include "convert_run.h"
#include "messages.h"

static const char* const kProgram = "kartovel-convert";

// Help and version go to standard output; a failed write is said, not only returned.
static int WriteText(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fputs(WriteFailedMessage(std::strerror(errno)).c_str(), stderr);
    return 1;
}

static int Run(int argc, char** argv)
{
    ConvertOptions options;
    if (const auto problem = ParseConvertOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::fprintf(stderr, "%s: %s\n%s%s", kProgram, problem->c_str(), kConvertUsage, TryHelpMessage().c_str());
        return 2;
    }
    if (options.action == ConvertOptions::Action::Help)
        return WriteText(ChineseMessages() ? kConvertHelpChinese : kConvertHelp);
    if (options.action == ConvertOptions::Action::Version)
        return WriteText(std::string(kProgram) + " " + KARTOVEL_VERSION + "\n");

    unsigned jobs = options.jobs;
    if (jobs == 0)
        jobs = std::clamp(std::thread::hardware_concurrency(), 1u, kMaximumJobs);
    if (options.files.empty())
        options.files.push_back("-");

    if (const int status = ConvertInputs(options, jobs, stdout, stderr); status != 0)
        return status;
    if (std::fflush(stdout) != 0) {
        std::fputs(WriteFailedMessage(std::strerror(errno)).c_str(), stderr);
        return 1;
    }
    return 0;
}

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Bytes in, bytes out: no CR LF translation, no Ctrl-Z end from the C library.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fputs(OutOfMemoryMessage(), stderr);
        return 1;
    } catch (const std::exception& error) {
        // Nothing the input could fix.
        std::fflush(stdout);
        std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
        return 1;
    }
}
