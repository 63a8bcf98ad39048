// The default mode's reader: whole lines go to the workers as they arrive; each worker
// finds the pair on each of its lines (block.cpp, ConvertPairLines).
#include "convert/file_reading.h"

bool ReadPairLines(FileReading& file)
{
    return file.HandOverLines(PairLines{});
}
