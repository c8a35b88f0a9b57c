// The records waiting for the world table: each is a copy of a saved replay
// in "outbox/" of the data directory, written whole or not at all (the
// durable save every player's file goes through) before anything is sent.
// Its name carries when it was kept, its stage and its start token, so one
// file is the whole record. A record leaves only when the server has it; a
// refused one moves to "outbox/refused/" with the server's message in a
// ".reason" file beside it, so nothing is ever deleted unseen.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace worldlink {

struct OutboxRecord {
    std::string name;  // the file's name inside the outbox
    int stage = 0;
    std::string token;  // "" when the run's start token did not come
};

class Outbox {
public:
    explicit Outbox(std::string dir);

    const std::string& dir() const { return dir_; }
    std::string refusedDir() const { return dir_ + "/refused"; }

    // Copies replayFile in; nothing when it cannot be read or saved whole.
    std::optional<OutboxRecord> keep(int stage, const std::string& replayFile, const std::string& token,
                                     long long unixMillis);
    // Every whole record, oldest first; half-saved files are not records.
    std::vector<OutboxRecord> waiting() const;
    // The record's replay bytes, nothing when it is gone.
    std::optional<std::string> replay(const OutboxRecord& record) const;
    // The server has it.
    void remove(const OutboxRecord& record);
    // The server will never take it: kept under refused/ with its reason.
    bool refuse(const OutboxRecord& record, const std::string& reason);

private:
    std::string dir_;
    int sequence_ = 0;  // two records kept in one millisecond still sort in order
};

// The record's file name, and the record a file name stands for.
std::string outboxFileName(const OutboxRecord& record, long long unixMillis, int sequence);
std::optional<OutboxRecord> outboxRecordNamed(const std::string& name);

}  // namespace worldlink
