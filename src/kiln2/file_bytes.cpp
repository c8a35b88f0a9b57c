// Whole-file reads through stdio, which reports a directory or a read error
// as an error code instead of an exception.
#include "kiln2/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool kilnReadFileBytes(const std::string& file, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(in) != 0;
    const int readErrno = errno;
    std::fclose(in);
    if (failed) {
        error = std::strerror(readErrno ? readErrno : EIO);
        return false;
    }
    return true;
}
