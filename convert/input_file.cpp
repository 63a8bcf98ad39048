#include "convert/input_file.h"

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

bool InputFile::ReadMore(std::string& buffer, std::string& reason)
{
    if (ended_) return true;
    const std::size_t old = buffer.size();
    buffer.resize(old + kBlockBytes);
    long count;
    do {
#ifdef _WIN32
        count = _read(fd_, buffer.data() + old, static_cast<unsigned>(kBlockBytes));
#else
        count = static_cast<long>(read(fd_, buffer.data() + old, kBlockBytes));
#endif
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        reason = std::strerror(errno);
        buffer.resize(old);
        return false;
    }
    buffer.resize(old + static_cast<std::size_t>(count));
    total_ += static_cast<unsigned long long>(count);
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
    if (!regular_ || ctrlZ_) return false;
    if (!RegularFileSize(fd_, now)) now = start_ + total_;
    if (now == size_ && start_ + total_ == size_) return false;
    if (now == size_) now = start_ + total_;  // grew and shrank back: report what was read
    return true;
}
