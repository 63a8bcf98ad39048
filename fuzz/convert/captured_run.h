#pragma once
// A whole converter run in memory, for the fuzz targets: its status, output and messages.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "convert/convert_run.h"

struct CapturedRun {
    int status;
    std::string out;
    std::string err;
};

inline CapturedRun ConvertCaptured(const ConvertOptions& options, unsigned threads)
{
    char* outText = nullptr;
    char* errText = nullptr;
    std::size_t outSize = 0, errSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    std::FILE* err = open_memstream(&errText, &errSize);
    CapturedRun run;
    run.status = ConvertInputs(options, threads, out, err);
    std::fclose(out);
    std::fclose(err);
    run.out.assign(outText, outSize);
    run.err.assign(errText, errSize);
    std::free(outText);
    std::free(errText);
    return run;
}
