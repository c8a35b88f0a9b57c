// The real `kvr2013-scores serve` for the game's world tests: SQLite in a
// directory of the test's own, 127.0.0.1 on the port the kernel picks, the
// build's verifier. Read back over HTTP with curl, as any client would.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace e2e {

class WorldServer {
public:
    // The database stays in dir, so a server started again finds its entries.
    explicit WorldServer(const std::filesystem::path& dir);
    ~WorldServer();
    WorldServer(const WorldServer&) = delete;
    WorldServer& operator=(const WorldServer&) = delete;

    unsigned short port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // The body of a GET, "" when it failed.
    std::string get(const std::string& path) const;
    // SIGTERM; true when it exited 0.
    bool stop();

private:
    std::filesystem::path dir_;
    pid_t pid_ = -1;
    unsigned short port_ = 0;
};

}  // namespace e2e
