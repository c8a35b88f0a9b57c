// Flat files of little-endian 16-bit values, the format of replay and mouse
// recordings. Writing goes to "<file>.tmp" and is renamed over the file only
// once it is complete and on disk (durable::FileWriter), so a failed save
// keeps the old recording.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "durable_file/durable_file.h"

// Reads 16-bit values through an 8192-byte buffer. Errors are std::runtime_error
// with a message that starts with `owner` and names the file.
class RecordFileReader {
public:
    // Throws when the file cannot be opened or is a directory.
    RecordFileReader(const std::string& fileName, const char* owner);
    ~RecordFileReader();
    RecordFileReader(const RecordFileReader&) = delete;
    RecordFileReader& operator=(const RecordFileReader&) = delete;

    // True when no byte is left. Throws on a read error.
    bool atEnd();
    // Reads one value; false when the file ends before two more bytes. Throws
    // on a read error. Inline: a replay is a hundred thousand of these.
    bool readInt16(int16_t& value) {
        while (length_ - position_ < 2) {
            if (!fill()) return false;
        }
        const uint16_t bits = static_cast<uint16_t>(buffer_[position_] | (buffer_[position_ + 1] << 8));
        value = static_cast<int16_t>(bits);
        position_ += 2;
        return true;
    }

    [[noreturn]] void fail(const std::string& problem) const;

private:
    bool fill();

    static constexpr size_t BUFFER_SIZE = 8192;
    std::string fileName_;
    const char* owner_;
    int fd_ = -1;
    unsigned char buffer_[BUFFER_SIZE];
    size_t position_ = 0;
    size_t length_ = 0;
};

// Collects 16-bit values and replaces the file with them on commit().
class RecordFileWriter {
public:
    // Creates the temporary file; throws when it cannot.
    RecordFileWriter(const std::string& fileName, const char* owner);
    // The temporary file is removed unless commit() succeeded.
    RecordFileWriter(const RecordFileWriter&) = delete;
    RecordFileWriter& operator=(const RecordFileWriter&) = delete;

    void writeInt16(int16_t value);
    // Flushes, syncs to disk and renames over the file. Throws on any failure.
    void commit();

private:
    void flush();
    [[noreturn]] void fail(int error) const;

    static constexpr size_t BUFFER_SIZE = 8192;
    std::string fileName_;
    durable::FileWriter file_;
    const char* owner_;
    unsigned char buffer_[BUFFER_SIZE];
    size_t length_ = 0;
};
