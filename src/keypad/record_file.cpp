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
    : fileName_(fileName), file_(fileName, ".tmp"), owner_(owner) {
    if (const int error = file_.open(); error != 0) fail(error);
}

void RecordFileWriter::fail(int error) const {
    throw std::runtime_error(describe(owner_, fileName_, std::strerror(error)));
}

void RecordFileWriter::flush() {
    if (const int error = file_.write(buffer_, length_); error != 0) fail(error);
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
    if (const int error = file_.commit(); error != 0) fail(error);
}
