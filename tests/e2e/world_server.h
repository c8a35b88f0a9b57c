// The build's real score server (kvr2013-scores serve) for the game's
// end-to-end tests: on 127.0.0.1, a port the system picks, a SQLite
// database in a directory of its own; ready once it has said where it
// listens. Read through its HTTP API with curl and its database with sqlite3.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace e2e {

class WorldServer {
public:
    // The same database as an earlier server when given its directory.
    explicit WorldServer(const std::filesystem::path& dir);
    ~WorldServer();
    WorldServer(const WorldServer&) = delete;
    WorldServer& operator=(const WorldServer&) = delete;

    bool started() const { return port_ != 0; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // SIGTERM, and waits until it has exited.
    void stop();
    // The body of a GET (curl), "" when there is no answer.
    std::string get(const std::string& path) const;
    // One SQL query's rows as sqlite3 prints them, one a line.
    std::string query(const std::string& sql) const;
    std::string errors() const;

private:
    std::filesystem::path dir_;
    pid_t pid_ = -1;
    unsigned short port_ = 0;
};

// The build's score server, or "" when this build has none.
std::string scoreServerBinary();

}  // namespace e2e
