// kartovel-convert: the batch page's conversion for scripts and large files.
//
// Each file is read whole and loaded as the batch page loads it (the batch-file
// reader, then the 15-digit table text of every number); every pair's table texts are
// converted with the batch page's result-line rule, "." as the decimal mark. The C
// locale is never changed, so nothing here depends on the user's locale.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "convert_options.h"
#include "parallel_lines.h"
#include "parallel_read.h"
#include "text/batch_reader.h"

#include <sys/stat.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

static const char* const kProgram = "kartovel-convert";

// Reads a whole file, or standard input for "-". On failure returns false with the
// system's reason.
static bool ReadWhole(const std::string& path, std::string& bytes, std::string& reason)
{
    const bool standardInput = path == "-";
    std::FILE* file = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    bytes.clear();
    struct stat status;
    if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode))
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    char chunk[1 << 16];
    std::size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, count);
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    if (standardInput)
        std::clearerr(stdin);  // "-" may be given again; it then reads on from here
    else
        std::fclose(file);
    if (failed) {
        reason = std::strerror(readErrno);
        return false;
    }
    return true;
}

static bool WriteLines(const PairLines& lines)
{
    for (const std::string& block : lines.blocks)
        if (!block.empty() && std::fwrite(block.data(), 1, block.size(), stdout) != block.size())
            return false;
    return true;
}

// Lines already written go out before a message about what follows them.
static int Fail(const std::string& message)
{
    std::fflush(stdout);
    std::fputs(message.c_str(), stderr);
    return 1;
}

static int WriteFailed()
{
    return Fail(std::string(kProgram) + ": cannot write the output: " + std::strerror(errno) + "\n");
}

// Converts one file into standard output; 0, or 1 after reporting why it stopped.
static int ConvertFile(const ConvertOptions& options, unsigned jobs, const std::string& path)
{
    const std::string name = path == "-" ? "<stdin>" : path;
    std::string bytes;
    std::string reason;
    if (!ReadWhole(path, bytes, reason))
        return Fail(std::string(kProgram) + ": " + name + ": " + reason + "\n");

    // A file that reads cleanly to its end is read in pieces on all threads; any other is
    // read again as a whole, which also says where and why reading stopped.
    BatchReadResult read;
    if (std::optional<std::vector<BatchPair>> pairs = ReadBatchPairsInPieces(bytes, jobs))
        read.pairs = std::move(*pairs);
    else
        read = ReadBatchPairs(bytes);
    const PairLines lines = ConvertPairLines(options.mode, kEllipsoids[options.ellipsoidIndex], read.pairs, jobs);
    if (!WriteLines(lines))
        return WriteFailed();

    if (lines.failure) {
        // Lines are counted only here, on the way out.
        const BatchPairPlace place = LocateBatchPair(bytes, lines.failure->pairIndex);
        const std::size_t line = lines.failure->yRefused ? place.yLine : place.xLine;
        return Fail(name + ":" + std::to_string(line) + ": " + lines.failure->message + "\n");
    }
    if (read.stoppedEarly)
        return Fail(name + ":" + std::to_string(read.stopLine) + ": cannot read a pair of numbers at \"" +
                    read.stopExcerpt + "\"\n");
    return 0;
}

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Windows opens the standard streams in text mode, which writes "\r\n" for every line
    // end and drops the "\r" of "\r\n" on input: the bytes in and out must be the file's
    // own, as on every other system.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    ConvertOptions options;
    if (const auto problem = ParseConvertOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::fprintf(stderr, "%s: %s\n%sTry '%s --help' for more information.\n", kProgram, problem->c_str(),
                     kConvertUsage, kProgram);
        return 2;
    }
    if (options.action == ConvertOptions::Action::Help) {
        std::fputs(kConvertHelp, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (options.action == ConvertOptions::Action::Version) {
        std::printf("%s %s\n", kProgram, KARTOVEL_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    unsigned jobs = options.jobs;
    if (jobs == 0)
        jobs = std::max(1u, std::thread::hardware_concurrency());
    if (options.files.empty())
        options.files.push_back("-");

    try {
        for (const std::string& path : options.files)
            if (const int status = ConvertFile(options, jobs, path); status != 0)
                return status;
    } catch (const std::exception& error) {
        // Out of memory or out of threads: nothing the input could fix.
        return Fail(std::string(kProgram) + ": " + error.what() + "\n");
    }
    if (std::fflush(stdout) != 0)
        return WriteFailed();
    return 0;
}
