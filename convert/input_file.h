#pragma once
// One input file or standard input, read in the order of its bytes with read(), which
// returns what a pipe holds instead of waiting for a full buffer, so that a line that
// arrives is converted and written at once.
#include <cstddef>
#include <string>

// The most bytes one read appends; also about the input a block holds.
inline constexpr std::size_t kBlockBytes = 1 << 18;

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // "-" is standard input. False with the system's reason when the file cannot be opened.
    bool Open(const std::string& path, std::string& reason);

    // Appends what the file holds next, up to kBlockBytes, to `buffer`; at the end, or at
    // a Ctrl-Z, sets Ended() (the Ctrl-Z and what follows it are not appended). False
    // with the reason when reading fails.
    bool ReadMore(std::string& buffer, std::string& reason);
    bool Ended() const { return ended_; }

    // For a regular file read to its end: its size now, when that differs from its size
    // when opened or from the bytes read; false otherwise.
    bool SizeChanged(unsigned long long& now) const;
    unsigned long long SizeWhenOpened() const { return size_; }

private:
    int fd_ = -1;
    bool regular_ = false;
    bool ended_ = false;
    bool ctrlZ_ = false;
    unsigned long long size_ = 0;
    unsigned long long start_ = 0;
    unsigned long long total_ = 0;
};
