#include "convert/input_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "text/batch_file.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

ReadSizeLimit gReadSizeLimit = nullptr;

namespace {

// The size of a regular file, in 64 bits on every system; false for anything else.
bool RegularFileSize(int fd, unsigned long long& size)
{
#ifdef _WIN32
    struct _stat64 status;
    if (_fstat64(fd, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) return false;
#else
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return false;
#endif
    size = static_cast<unsigned long long>(status.st_size);
    return true;
}

}  // namespace

InputFile::~InputFile()
{
#ifdef _WIN32
    if (fd_ > 0) _close(fd_);
#else
    if (fd_ > 0) close(fd_);
#endif
}

bool InputFile::Open(const std::string& path, std::string& reason)
{
    if (path == "-") {
        fd_ = 0;
    } else {
#ifdef _WIN32
        fd_ = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
        fd_ = open(path.c_str(), O_RDONLY | O_BINARY);
#endif
        if (fd_ < 0) {
            reason = std::strerror(errno);
            return false;
        }
    }
    unsigned long long size = 0;
    if (RegularFileSize(fd_, size)) {
        regular_ = true;
        size_ = size;
        // Standard input may be a file read before (given as "-" twice) or left
        // part read by the program that started this one.
#ifdef _WIN32
        const long long offset = _lseeki64(fd_, 0, SEEK_CUR);
#else
        const long long offset = lseek(fd_, 0, SEEK_CUR);
#endif
        start_ = offset > 0 ? static_cast<unsigned long long>(offset) : 0;
    }
    return true;
}

bool InputFile::ReadMore(std::string& buffer, std::string& reason, std::size_t most)
{
    const std::size_t old = buffer.size();
    // The byte before the new ones, which the reader may have taken from the buffer.
    const char prior = lastByte_;
    if (!ReadOnce(buffer, reason, most)) return false;
    if (nulDecided_) return true;
    const void* found = std::memchr(buffer.data() + old, '\0', buffer.size() - old);
    if (found == nullptr) return true;
    const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(found) - buffer.data());
    // Whether it is UTF-16 depends on the three bytes after it: read them before deciding,
    // so that the answer never depends on where a read ended.
    while (buffer.size() < n + 4 && !ended_)
        if (!ReadOnce(buffer, reason)) return false;
    const std::string_view after = std::string_view(buffer).substr(n + 1);
    const auto ascii = [](char c) { return c != '\0' && static_cast<unsigned char>(c) < 0x80; };
    // UTF-16 by its mark, or by ASCII text with a NUL beside every character: little-endian
    // puts the NUL after its character, big-endian before it.
    const bool mark = appended_ >= 2 && StartsWithUtf16ByteOrderMark(std::string_view(firstBytes_, 2));
    const bool little = ascii(n > 0 ? buffer[n - 1] : prior) && after.size() >= 2 && ascii(after[0]) && after[1] == '\0';
    const bool big = after.size() >= 3 && ascii(after[0]) && after[1] == '\0' && ascii(after[2]);
    if (mark || little || big) {
        nulDecided_ = true;
        return true;
    }
    buffer.resize(n);
    ended_ = true;
    nul_ = true;
    return true;
}

bool InputFile::ReadOnce(std::string& buffer, std::string& reason, std::size_t most)
{
    if (ended_) return true;
    const std::size_t old = buffer.size();
    most = std::clamp<std::size_t>(most, 1, kBlockBytes);
    const std::size_t wanted = gReadSizeLimit ? std::clamp<std::size_t>(gReadSizeLimit(most), 1, most) : most;
    buffer.resize(old + wanted);
    long count;
    do {
#ifdef _WIN32
        count = _read(fd_, buffer.data() + old, static_cast<unsigned>(wanted));
#else
        count = static_cast<long>(read(fd_, buffer.data() + old, wanted));
#endif
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        reason = std::strerror(errno);
        buffer.resize(old);
        return false;
    }
    buffer.resize(old + static_cast<std::size_t>(count));
    total_ += static_cast<unsigned long long>(count);
    for (std::size_t i = old; i < buffer.size() && appended_ < 2; ++i) firstBytes_[appended_++] = buffer[i];
    if (buffer.size() > old) lastByte_ = buffer.back();
    if (count == 0) ended_ = true;
    // A Ctrl-Z ends the file: nothing after it is looked at.
    const std::size_t text = TextLength(std::string_view(buffer).substr(old));
    if (text != static_cast<std::size_t>(count)) {
        buffer.resize(old + text);
        ended_ = true;
        ctrlZ_ = true;
    }
    return true;
}

bool InputFile::SizeChanged(unsigned long long& now) const
{
    if (!regular_ || ctrlZ_ || nul_) return false;
    if (!RegularFileSize(fd_, now)) now = start_ + total_;
    if (now == size_ && start_ + total_ == size_) return false;
    if (now == size_) now = start_ + total_;  // grew and shrank back: report what was read
    return true;
}
