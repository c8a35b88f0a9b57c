#include "fake_server.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace worldlink_test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvr-worldlink-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary directory");
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

std::string writeReplay(const TempDir& dir, const std::string& name, std::size_t records, char fill) {
    const std::string file = dir.file(name);
    std::ofstream(file, std::ios::binary) << std::string(records * 24, fill);
    return file;
}

}  // namespace worldlink_test
