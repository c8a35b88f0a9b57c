// What the verifier pool's tests share: the corpus entries, the stand-in
// verifiers, scratch directories and waiting on a condition.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace verifypool_test {

inline std::string readFileBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline std::string standIn(const char* name) { return std::string(KVR_SOURCE_DIR) + "/tests/verifypool/" + name; }

struct CorpusEntry {
    std::string name;
    int stage = 0;
    std::string traceSha256, line, replay;
};

// tests/corpus/expected.txt: NAME STAGE HISCORE TRACE_SHA256 LINE
inline std::vector<CorpusEntry> readCorpus() {
    const std::string corpus = std::string(KVR_SOURCE_DIR) + "/tests/corpus/";
    std::ifstream in(corpus + "expected.txt");
    std::vector<CorpusEntry> entries;
    std::string text;
    while (std::getline(in, text)) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream words(text);
        CorpusEntry entry;
        std::string hiscore;
        words >> entry.name >> entry.stage >> hiscore >> entry.traceSha256 >> std::ws;
        std::getline(words, entry.line);
        entry.replay = readFileBytes(corpus + "replays/" + entry.name + ".bin");
        entries.push_back(entry);
    }
    return entries;
}

struct ScratchDir {
    ScratchDir() {
        char pattern[] = "/tmp/kvr-verifypool-test-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) path = pattern;
    }
    ~ScratchDir() { std::filesystem::remove_all(path); }
    std::string path;
};

// Sets an environment variable for one test and puts back what was there.
struct EnvironmentVariable {
    EnvironmentVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvironmentVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

inline bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace verifypool_test
