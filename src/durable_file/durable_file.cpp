// The temporary file, its sync, the rename and the directory's sync, in that
// order: without the first sync the rename can reach the disk before the
// bytes do (an empty file after a power cut); without the last, the rename
// itself can be lost and the old file come back.
#include "durable_file/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace durable {
namespace {

int systemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

const FileOps kSystemFileOps{systemOpen, ::write, ::fsync, ::close, ::rename, ::unlink};
FileOps currentFileOps = kSystemFileOps;

// The error of the call that just failed; never 0, so a failure is never read as success.
int lastError() { return errno != 0 ? errno : EIO; }

std::string directoryOf(const std::string& file) {
    const size_t slash = file.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

int syncDirectory(const std::string& dir) {
    const FileOps& ops = fileOps();
    const int fd = ops.open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return lastError();
    if (ops.fsync(fd) != 0) {
        const int error = lastError();
        ops.close(fd);
        return error;
    }
    return ops.close(fd) != 0 ? lastError() : 0;
}

// fd is open on temp and is closed here; temp is renamed over target or removed.
int syncAndRename(int fd, const std::string& temp, const std::string& target) {
    const FileOps& ops = fileOps();
    int error = 0;
    if (ops.fsync(fd) != 0) {
        error = lastError();
        ops.close(fd);
    } else if (ops.close(fd) != 0 || ops.rename(temp.c_str(), target.c_str()) != 0) {
        error = lastError();
    }
    if (error != 0) {
        ops.unlink(temp.c_str());
        return error;
    }
    return syncDirectory(directoryOf(target));
}

}  // namespace

FileOps& fileOps() { return currentFileOps; }
const FileOps& systemFileOps() { return kSystemFileOps; }

FileWriter::FileWriter(std::string target, std::string tempSuffix, mode_t mode)
    : target_(std::move(target)), temp_(target_ + tempSuffix), mode_(mode) {}

FileWriter::~FileWriter() {
    if (fd_ >= 0) fileOps().close(fd_);
    if (tempExists_) fileOps().unlink(temp_.c_str());
}

int FileWriter::abandon(int error) {
    if (fd_ >= 0) fileOps().close(fd_);
    fd_ = -1;
    if (tempExists_) fileOps().unlink(temp_.c_str());
    tempExists_ = false;
    error_ = error;
    return error;
}

int FileWriter::open() {
    if (error_ != 0) return error_;
    fd_ = fileOps().open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode_);
    if (fd_ < 0) return abandon(lastError());
    tempExists_ = true;
    return 0;
}

int FileWriter::write(const void* data, size_t size) {
    if (error_ != 0) return error_;
    if (fd_ < 0) return abandon(EBADF);
    const char* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t put = fileOps().write(fd_, bytes + done, size - done);
        if (put < 0 && errno == EINTR) continue;
        // A write that moves nothing would repeat for ever.
        if (put <= 0) return abandon(put < 0 ? lastError() : EIO);
        done += static_cast<size_t>(put);
    }
    return 0;
}

int FileWriter::commit() {
    if (error_ != 0) return error_;
    if (fd_ < 0) return abandon(EBADF);
    const int fd = std::exchange(fd_, -1);
    tempExists_ = false;
    error_ = syncAndRename(fd, temp_, target_);
    return error_;
}

int replaceFile(const std::string& target, std::string_view data, const std::string& tempSuffix, mode_t mode) {
    FileWriter writer(target, tempSuffix, mode);
    if (const int error = writer.open(); error != 0) return error;
    if (const int error = writer.write(data.data(), data.size()); error != 0) return error;
    return writer.commit();
}

int replaceFileWrittenBy(const std::string& target, const std::string& tempSuffix,
                         const std::function<bool(const std::string& tempFile)>& writeTemp) {
    const FileOps& ops = fileOps();
    const std::string temp = target + tempSuffix;
    int fd = -1;
    errno = 0;
    if (!writeTemp(temp) || (fd = ops.open(temp.c_str(), O_RDONLY | O_CLOEXEC, 0)) < 0) {
        const int error = lastError();
        ops.unlink(temp.c_str());
        return error;
    }
    return syncAndRename(fd, temp, target);
}

}  // namespace durable
