// What every fuzz program shares: the loaders read files, so each input is
// written to a scratch file in memory-backed /dev/shm first, and a broken
// expectation aborts with a message so libFuzzer keeps the input.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// One scratch file per process and per name, removed at exit.
class ScratchFile {
public:
    explicit ScratchFile(const char* name)
        : path_(std::string(directory()) + "/kvr-fuzz-" + std::to_string(::getpid()) + "-" + name) {}
    ~ScratchFile() { std::remove(path_.c_str()); }

    const std::string& path() const { return path_; }

    // Replaces the file's content with size bytes of data.
    void write(const uint8_t* data, size_t size) const {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (file == nullptr) fail("cannot create the scratch file");
        if (size > 0 && std::fwrite(data, 1, size, file) != size) fail("cannot write the scratch file");
        if (std::fclose(file) != 0) fail("cannot close the scratch file");
    }

private:
    static const char* directory() { return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp"; }
    [[noreturn]] static void fail(const char* what) {
        std::fprintf(stderr, "fuzz harness: %s\n", what);
        std::abort();
    }

    std::string path_;
};

// A property of the loader did not hold: report and abort so the input is saved.
#define FUZZ_EXPECT(condition)                                                                     \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

}  // namespace fuzz
