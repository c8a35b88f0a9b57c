#include "world_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "e2e_support.h"

namespace e2e {

std::string scoreServerBinary() {
    const std::string binary = std::string(KVR_BINARY_DIR) + "/kvr2013-scores";
    return std::filesystem::exists(binary) ? binary : "";
}

WorldServer::WorldServer(const std::filesystem::path& dir) : dir_(dir) {
    std::filesystem::create_directories(dir_);
    std::vector<std::string> args = {scoreServerBinary(), "serve", "--listen", "127.0.0.1:0", "--database",
                                     "sqlite:" + (dir_ / "scores.db").string()};
    int out[2];
    if (args[0].empty() || ::pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int err = ::open((dir_ / "server.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    // Its first line says where it listens.
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + kDefaultTimeout;
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd wait{out[0], POLLIN, 0};
        if (::poll(&wait, 1, 200) <= 0) continue;
        char c;
        if (::read(out[0], &c, 1) != 1) break;
        line += c;
    }
    ::close(out[0]);
    const std::string prefix = "listening http://127.0.0.1:";
    if (line.rfind(prefix, 0) == 0) port_ = static_cast<unsigned short>(std::stoi(line.substr(prefix.size())));
}

WorldServer::~WorldServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void WorldServer::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    port_ = 0;
}

std::string WorldServer::get(const std::string& path) const {
    return runCommand("curl -s --max-time 10 " + shellQuote(url() + path));
}

std::string WorldServer::query(const std::string& sql) const {
    return runCommand("sqlite3 " + shellQuote((dir_ / "scores.db").string()) + " " + shellQuote(sql));
}

std::string WorldServer::errors() const { return readFile(dir_ / "server.log"); }

}  // namespace e2e
