// Buffered reading and atomic writing of little-endian 16-bit record files.
#include "keypad/record_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string describe(const char* owner, const std::string& fileName, const std::string& problem) {
    return std::string(owner) + ": " + fileName + ": " + problem;
}

}  // namespace

RecordFileReader::RecordFileReader(const std::string& fileName, const char* owner)
    : fileName_(fileName), owner_(owner) {
    fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) fail(std::strerror(errno));
    struct stat info {};
    int error = ::fstat(fd_, &info) != 0 ? errno : (S_ISDIR(info.st_mode) ? EISDIR : 0);
    if (error != 0) {
        ::close(fd_);
        fd_ = -1;
        fail(std::strerror(error));
    }
}

RecordFileReader::~RecordFileReader() {
    if (fd_ >= 0) ::close(fd_);
}

void RecordFileReader::fail(const std::string& problem) const {
    throw std::runtime_error(describe(owner_, fileName_, problem));
}

bool RecordFileReader::fill() {
    // Keep an unread odd byte at the front so a value may straddle two reads.
    size_t kept = length_ - position_;
    std::memmove(buffer_, buffer_ + position_, kept);
    position_ = 0;
    length_ = kept;
    for (;;) {
        ssize_t got = ::read(fd_, buffer_ + length_, BUFFER_SIZE - length_);
        if (got < 0) {
            if (errno == EINTR) continue;
            fail(std::strerror(errno));
        }
        length_ += static_cast<size_t>(got);
        return got > 0;
    }
}

bool RecordFileReader::atEnd() {
    if (position_ < length_) return false;
    return !fill();
}

RecordFileWriter::RecordFileWriter(const std::string& fileName, const char* owner)
    : fileName_(fileName), tempName_(fileName + ".tmp"), owner_(owner) {
    fd_ = ::open(tempName_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) throw std::runtime_error(describe(owner_, fileName_, std::strerror(errno)));
}

RecordFileWriter::~RecordFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!tempGone_) ::unlink(tempName_.c_str());
}

void RecordFileWriter::fail(int error) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(tempName_.c_str());
    tempGone_ = true;
    throw std::runtime_error(describe(owner_, fileName_, std::strerror(error)));
}

void RecordFileWriter::flush() {
    size_t done = 0;
    while (done < length_) {
        ssize_t put = ::write(fd_, buffer_ + done, length_ - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        done += static_cast<size_t>(put);
    }
    length_ = 0;
}

void RecordFileWriter::writeInt16(int16_t value) {
    if (length_ + 2 > BUFFER_SIZE) flush();
    const uint16_t bits = static_cast<uint16_t>(value);
    buffer_[length_++] = static_cast<unsigned char>(bits & 0xff);
    buffer_[length_++] = static_cast<unsigned char>(bits >> 8);
}

void RecordFileWriter::commit() {
    flush();
    if (::fsync(fd_) != 0) fail(errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(errno);
    if (::rename(tempName_.c_str(), fileName_.c_str()) != 0) fail(errno);
    tempGone_ = true;
}
