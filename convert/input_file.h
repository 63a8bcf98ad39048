#pragma once
// One input file or standard input, read in the order of its bytes with read(), which
// returns what a pipe holds instead of waiting for a full buffer, so that a line that
// arrives is converted and written at once.
#include <cstddef>
#include <string>

// The most bytes one read appends; also about the input a block holds.
inline constexpr std::size_t kBlockBytes = 1 << 18;

// The longest line read: far beyond any record of points, small enough that a file
// that is not text, or a line that never ends, stops the run before memory does.
inline constexpr std::size_t kLineLimitBytes = 1 << 20;

// Where reads end: each read() asks for at most what this returns for the size it would
// ask for (at least 1 byte), as a pipe written in parts returns less than asked. Null (the
// program's own runs) asks for the whole size. Tests and the fuzz target set it to show
// that nothing the converter writes depends on it.
using ReadSizeLimit = std::size_t (*)(std::size_t wanted);
extern ReadSizeLimit gReadSizeLimit;

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // "-" is standard input. False with the system's reason when the file cannot be opened.
    bool Open(const std::string& path, std::string& reason);

    // Appends what the file holds next, up to kBlockBytes (and the few bytes that tell
    // what a NUL byte is), to `buffer`; at the end, or at a Ctrl-Z, sets Ended() (the
    // Ctrl-Z and what follows it are not appended). A NUL byte in text that is not UTF-16
    // ends the text too: EndedAtNul(), the NUL and what follows it not appended. False
    // with the reason when reading fails.
    // At most `most` bytes are asked for (at least 1).
    bool ReadMore(std::string& buffer, std::string& reason, std::size_t most = kBlockBytes);
    bool Ended() const { return ended_; }
    bool EndedAtNul() const { return nul_; }

    // For a regular file read to its end: its size now, when that differs from its size
    // when opened or from the bytes read; false otherwise.
    bool SizeChanged(unsigned long long& now) const;
    unsigned long long SizeWhenOpened() const { return size_; }

private:
    int fd_ = -1;
    bool regular_ = false;
    bool ended_ = false;
    bool ctrlZ_ = false;
    bool nul_ = false;
    bool nulDecided_ = false;   // the first NUL was found and was UTF-16's
    std::size_t appended_ = 0;  // bytes this file put in the buffer (the first two tell a UTF-16 mark)
    char firstBytes_[2] = {};
    char lastByte_ = '\0';      // the last byte appended

    // One read() appended to `buffer`, the Ctrl-Z rule applied.
    bool ReadOnce(std::string& buffer, std::string& reason, std::size_t most = kBlockBytes);
    unsigned long long size_ = 0;
    unsigned long long start_ = 0;
    unsigned long long total_ = 0;
};
