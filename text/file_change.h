#pragma once
// What a load keeps of a batch file that changed size while it was read. Pure, standard
// library only.
#include <cstddef>
#include <string_view>

// The length of the start of `read` (the bytes read from the file) that holds only whole
// numbers. `next` is the byte that followed them in the file, or -1 when none could be
// read (the file was cut short there, perhaps inside a number).
//
// A number ends at a blank or a line end, so all of `read` is whole when `next` is one,
// or when `read` holds a Ctrl-Z (the text ends there). Otherwise the last number may be
// cut (2646479.53 read as 264647): the text is kept up to its last line end, so that the
// rows kept are whole lines; a text of one line is kept up to its last blank.
std::size_t WholeNumbersLength(std::string_view read, int next);
