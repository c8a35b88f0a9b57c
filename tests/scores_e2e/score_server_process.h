// The real `kvr2013-scores serve` for end-to-end tests: started on
// 127.0.0.1 port 0 with a fresh database (SQLite in a temporary directory,
// or the PostgreSQL of KVR_TEST_DATABASE_URL emptied first), ready once its
// "listening http://127.0.0.1:PORT" line is read.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "scoredb/sql_connection.h"
#include "scoreproto/request_signature.h"
#include "http_probe.h"

namespace e2e {

std::string binaryDir();
std::string sourceDir();
std::string readFile(const std::filesystem::path& file);

// A temporary directory removed at the end, with the database URL the tests use.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    const std::string& url() const { return url_; }
    const std::filesystem::path& dir() const { return dir_; }
    bool isSqlite() const { return url_.rfind("sqlite:", 0) == 0; }
    // Another database for the servers of this test (a file on a small disk).
    void moveTo(const std::string& url) { url_ = url; }

private:
    std::filesystem::path dir_;
    std::string url_;
};

class ScoreServer {
public:
    // extra: more serve options; the listen address and database are set here.
    // environment: NAME=VALUE entries added to the server's (its verifier children inherit them).
    ScoreServer(const TestDatabase& database, std::vector<std::string> extra = {},
                std::vector<std::string> environment = {});
    ~ScoreServer();
    unsigned short port() const { return port_; }
    // SIGTERM, then the exit status (or -signal) once it has exited.
    int stop();
    void killHard();  // SIGKILL
    std::string errors() const;  // what it wrote to stderr

private:
    pid_t pid_ = -1;
    unsigned short port_ = 0;
    std::filesystem::path stderrFile_;
};

// A player with a key of its own, signing requests the way the client does.
struct Player {
    scoreproto::PlayerKey key = scoreproto::generatePlayerKey();
    std::string name;

    // The headers of a signed request, with a fresh nonce unless one is given.
    std::vector<std::pair<std::string, std::string>> signedHeaders(const std::string& method,
                                                                   const std::string& target,
                                                                   const std::string& body, long long timestamp = 0,
                                                                   const std::string& nonce = "") const;
    std::string signedRequest(const std::string& method, const std::string& target, const std::string& body,
                              const std::string& contentType = "application/json") const;
    probe::Answer registerOn(unsigned short port) const;
    probe::Answer submit(unsigned short port, int stage, const std::string& replay,
                         const std::string& token = "") const;
};

// Runs a command through the shell: its exit status and what it printed (both streams).
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(const std::string& command);

// A direct connection to the test database, to look at or doctor what the server stored.
std::unique_ptr<scoredb::SqlConnection> connectTo(const TestDatabase& database);

// Runs the verifier itself on a replay: its line and the digest of its trace.
struct VerifierResult {
    std::string line, traceSha256;
};
VerifierResult runVerifier(int stage, const std::filesystem::path& replay);

}  // namespace e2e
