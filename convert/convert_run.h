#pragma once
// A whole run of kartovel-convert after its command line was read: every file read in
// blocks, converted on the worker threads and written in order.
#include <cstdio>

#include "convert_options.h"

// 0 when every file was converted to its end, 1 after a reported problem (the message
// is on `err`, after the lines before it on `out`). Points outside Taiwan's area give
// one warning on `err` at the end unless options.quiet. Throws std::bad_alloc when memory
// runs out on the reading thread.
int ConvertInputs(const ConvertOptions& options, unsigned jobs, std::FILE* out, std::FILE* err);
