#include "worldlink/outbox.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "durable_file/durable_file.h"
#include "scoreproto/replay_shape.h"

namespace worldlink {

namespace {

constexpr const char* kSuffix = ".bin";
// A token is the server's hex text; anything else is not put in a file name.
constexpr std::size_t kMaxTokenLength = 128;

bool isLowerHex(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool isDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::string> readWhole(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

void makeDirectory(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
}

}  // namespace

std::string outboxFileName(const OutboxRecord& record, long long unixMillis, int sequence) {
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "%013lld-%04d-s%d", unixMillis, sequence % 10000, record.stage);
    std::string name = prefix;
    if (!record.token.empty()) name += "-t" + record.token;
    return name + kSuffix;
}

std::optional<OutboxRecord> outboxRecordNamed(const std::string& name) {
    // TTTTTTTTTTTTT-NNNN-sS[-tTOKEN].bin
    const std::string suffix = kSuffix;
    if (name.size() < 21 + suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return std::nullopt;
    }
    const std::string stem = name.substr(0, name.size() - suffix.size());
    if (!isDigits(stem.substr(0, 13)) || stem[13] != '-' || !isDigits(stem.substr(14, 4)) || stem.substr(18, 2) != "-s") {
        return std::nullopt;
    }
    OutboxRecord record;
    record.name = name;
    const char stage = stem[20];
    if (stage < '0' || stage > '3') return std::nullopt;
    record.stage = stage - '0';
    const std::string rest = stem.substr(21);
    if (!rest.empty()) {
        if (rest.rfind("-t", 0) != 0) return std::nullopt;
        record.token = rest.substr(2);
        if (record.token.empty() || record.token.size() > kMaxTokenLength || !isLowerHex(record.token)) {
            return std::nullopt;
        }
    }
    return record;
}

Outbox::Outbox(std::string dir) : dir_(std::move(dir)) {}

std::optional<OutboxRecord> Outbox::keep(int stage, const std::string& replayFile, const std::string& token,
                                         long long unixMillis) {
    if (!scoreproto::isValidStage(stage)) return std::nullopt;
    const auto bytes = readWhole(replayFile);
    if (!bytes) return std::nullopt;
    OutboxRecord record;
    record.stage = stage;
    if (token.size() <= kMaxTokenLength && isLowerHex(token)) record.token = token;
    record.name = outboxFileName(record, unixMillis, sequence_++);
    makeDirectory(dir_);
    if (durable::replaceFile(dir_ + "/" + record.name, *bytes, ".tmp", S_IRUSR | S_IWUSR) != 0) return std::nullopt;
    return record;
}

std::vector<OutboxRecord> Outbox::waiting() const {
    std::vector<OutboxRecord> records;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(dir_, error)) {
        if (!item.is_regular_file(error)) continue;
        if (auto record = outboxRecordNamed(item.path().filename().string())) records.push_back(*record);
    }
    // The names begin with the time they were kept, zero-padded.
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return records;
}

std::optional<std::string> Outbox::replay(const OutboxRecord& record) const { return readWhole(dir_ + "/" + record.name); }

void Outbox::remove(const OutboxRecord& record) { ::unlink((dir_ + "/" + record.name).c_str()); }

bool Outbox::refuse(const OutboxRecord& record, const std::string& reason) {
    const auto bytes = replay(record);
    if (!bytes) return false;
    makeDirectory(refusedDir());
    const std::string kept = refusedDir() + "/" + record.name;
    // The copy and its reason first: a crash before the unlink leaves the
    // record waiting, and it is refused again.
    if (durable::replaceFile(kept, *bytes, ".tmp", S_IRUSR | S_IWUSR) != 0 ||
        durable::replaceFile(kept + ".reason", reason + "\n") != 0) {
        return false;
    }
    remove(record);
    return true;
}

}  // namespace worldlink
