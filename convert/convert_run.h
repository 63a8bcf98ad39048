#pragma once
// A whole run of kartovel-convert after its command line was read.
//
// How a line travels:
//  1. Reading (file_reading.*, input_file.*): the reading thread reads each file in
//     pieces of up to kBlockBytes with read(), cuts off a Ctrl-Z and what follows, passes
//     a leading UTF-8 byte-order mark, and lets the reader of the run's mode
//     (pair_line_reader.cpp, number_stream_reader.cpp, record_reader.cpp) cut the bytes
//     into blocks of whole lines, each knowing the line it starts on in its file.
//  2. Blocks (block.*, record_lines.*, point_converter.h): a worker converts a block by
//     itself: it finds the numbers on its lines (or takes those the reader found), reads
//     each as the batch page reads a table cell, converts it and writes the result texts,
//     or stops at the first line it cannot convert, with that line's message.
//  3. The ordered pipeline (ordered_pipeline.h): blocks are converted on -j N threads and
//     written in input order as soon as every block before them is written; the first
//     stop ends the run after the lines before it.
// Messages are the program's (messages.*), in Chinese or English by the environment.
#include <cstdio>

#include "convert/convert_options.h"

// 0 when every file was converted to its end, 1 after a reported problem (2 when the
// problem is the command line's, such as --columns naming one header field twice) (the message
// is on `err`, after the lines before it on `out`). Points outside Taiwan's area give
// one warning on `err` at the end unless options.quiet. `threads` threads convert (the
// reading thread itself when it is 1). Throws std::bad_alloc when memory runs out on
// the reading thread, after the pipeline's threads are joined; what was written by then
// is a prefix of the whole output.
int ConvertInputs(const ConvertOptions& options, unsigned threads, std::FILE* out, std::FILE* err);
