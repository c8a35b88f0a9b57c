#include "score_server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "scoredb/postgres_connection.h"
#include "scoredb/sqlite_connection.h"

namespace e2e {

std::string binaryDir() { return KVR_BINARY_DIR; }
std::string sourceDir() { return KVR_SOURCE_DIR; }

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TestDatabase::TestDatabase() {
    dir_ = std::filesystem::temp_directory_path() / ("kvr-scores-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir_);
    const char* url = std::getenv("KVR_TEST_DATABASE_URL");
    if (url && *url) {
        url_ = url;
        auto db = scoredb::openPostgres(url_);
        db->execScript(
            "DROP TABLE IF EXISTS replays, runs, players, nonces, start_tokens, rate_buckets, schema_migrations CASCADE");
    } else {
        url_ = "sqlite:" + (dir_ / "scores.db").string();
    }
}

TestDatabase::~TestDatabase() { std::filesystem::remove_all(dir_); }

ScoreServer::ScoreServer(const TestDatabase& database, std::vector<std::string> extra,
                         std::vector<std::string> environment) {
    stderrFile_ = database.dir() / ("server-" + std::to_string(std::random_device{}()) + ".log");
    std::vector<std::string> args = {binaryDir() + "/kvr2013-scores", "serve", "--listen", "127.0.0.1:0",
                                     "--database", database.url()};
    args.insert(args.end(), extra.begin(), extra.end());
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        int err = open(stderrFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, STDERR_FILENO);
        for (auto& entry : environment) putenv(entry.data());
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    // The first line, within a generous time for a loaded machine.
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd wait{out[0], POLLIN, 0};
        if (poll(&wait, 1, 200) <= 0) continue;
        char c;
        if (::read(out[0], &c, 1) != 1) break;
        line += c;
    }
    close(out[0]);
    const std::string prefix = "listening http://127.0.0.1:";
    if (line.rfind(prefix, 0) != 0) {
        stop();
        throw std::runtime_error("the server did not start: \"" + line + "\" " + errors());
    }
    port_ = static_cast<unsigned short>(std::stoi(line.substr(prefix.size())));
}

ScoreServer::~ScoreServer() {
    if (pid_ > 0) killHard();
}

int ScoreServer::stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

void ScoreServer::killHard() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string ScoreServer::errors() const { return readFile(stderrFile_); }

std::vector<std::pair<std::string, std::string>> Player::signedHeaders(const std::string& method,
                                                                       const std::string& target,
                                                                       const std::string& body, long long timestamp,
                                                                       const std::string& nonce) const {
    if (timestamp == 0) timestamp = static_cast<long long>(std::time(nullptr));
    std::string stamp = std::to_string(timestamp);
    std::string once = nonce.empty() ? scoreproto::randomNonceHex() : nonce;
    std::string signature = scoreproto::signHex(key, scoreproto::signingText(method, target, stamp, once, body));
    return {{scoreproto::kKeyHeader, key.publicHex},
            {scoreproto::kTimestampHeader, stamp},
            {scoreproto::kNonceHeader, once},
            {scoreproto::kSignatureHeader, signature}};
}

std::string Player::signedRequest(const std::string& method, const std::string& target, const std::string& body,
                                  const std::string& contentType) const {
    auto headers = signedHeaders(method, target, body);
    headers.emplace_back("Content-Type", contentType);
    return probe::request(method, target, headers, body);
}

probe::Answer Player::registerOn(unsigned short port) const {
    std::string body = "{\"name\":\"" + name + "\",\"public_key\":\"" + key.publicHex + "\"}";
    return probe::exchange(port, signedRequest("POST", "/api/v1/players", body));
}

probe::Answer Player::submit(unsigned short port, int stage, const std::string& replay,
                             const std::string& token) const {
    std::string target = "/api/v1/runs?stage=" + std::to_string(stage) + (token.empty() ? "" : "&token=" + token);
    return probe::exchange(port, signedRequest("POST", target, replay, "application/octet-stream"));
}

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* out = popen((command + " 2>&1").c_str(), "r");
    if (!out) return result;
    char chunk[4096];
    std::size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, out)) > 0) result.output.append(chunk, n);
    int status = pclose(out);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::unique_ptr<scoredb::SqlConnection> connectTo(const TestDatabase& database) {
    if (database.isSqlite()) return scoredb::openSqlite(database.url().substr(7));
    return scoredb::openPostgres(database.url());
}

VerifierResult runVerifier(int stage, const std::filesystem::path& replay) {
    auto trace = std::filesystem::temp_directory_path() / ("kvr-trace-" + std::to_string(std::random_device{}()));
    // Appended piece by piece: g++ 12 at -O2 misreads one long chain of + here as out of bounds.
    std::string command = binaryDir();
    command += "/kvr2013-verify --stage " + std::to_string(stage);
    command += " --replay '" + replay.string() + "' --trace '" + trace.string() + "'";
    VerifierResult result;
    FILE* out = popen(command.c_str(), "r");
    char line[512] = {};
    if (out && fgets(line, sizeof line, out)) result.line = line;
    if (out) pclose(out);
    while (!result.line.empty() && result.line.back() == '\n') result.line.pop_back();
    result.traceSha256 = scoreproto::sha256Hex(readFile(trace));
    std::filesystem::remove(trace);
    return result;
}

}  // namespace e2e
