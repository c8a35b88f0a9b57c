#include "world_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <vector>

#include "e2e_support.h"

namespace e2e {

namespace fs = std::filesystem;

WorldServer::WorldServer(const fs::path& dir) : dir_(dir) {
    fs::create_directories(dir_);
    const std::string binary = std::string(KVR_BINARY_DIR) + "/kvr2013-scores";
    std::vector<std::string> args = {binary, "serve", "--listen", "127.0.0.1:0", "--database",
                                     "sqlite:" + (dir_ / "scores.db").string(), "--verifier",
                                     std::string(KVR_BINARY_DIR) + "/kvr2013-verify"};
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int err = open((dir_ / "server.stderr").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + kDefaultTimeout;
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{out[0], POLLIN, 0};
        if (poll(&ready, 1, 200) <= 0) continue;
        char c;
        if (::read(out[0], &c, 1) != 1) break;
        line += c;
    }
    close(out[0]);
    const std::string prefix = "listening http://127.0.0.1:";
    if (line.rfind(prefix, 0) != 0) {
        stop();
        throw std::runtime_error("kvr2013-scores did not start: " + readFile(dir_ / "server.stderr"));
    }
    port_ = static_cast<unsigned short>(std::stoi(line.substr(prefix.size())));
}

WorldServer::~WorldServer() { stop(); }

std::string WorldServer::get(const std::string& path) const {
    int status = 0;
    const std::string body = runCommand("curl -fsS --max-time 10 " + shellQuote(url() + path) + " 2>/dev/null", &status);
    return status == 0 ? body : "";
}

bool WorldServer::stop() {
    if (pid_ <= 0) return false;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace e2e
