#include "http_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <stdexcept>

namespace probe {

Connection::Connection(unsigned short port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("cannot connect to port " + std::to_string(port));
    }
}

Connection::~Connection() {
    if (fd_ >= 0) ::close(fd_);
}

bool Connection::send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

Answer Connection::read(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    auto fill = [&]() -> bool {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd wait{fd_, POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(left.count())) <= 0) return false;
        char chunk[65536];
        ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        pending_.append(chunk, static_cast<std::size_t>(n));
        return true;
    };
    std::size_t end;
    while ((end = pending_.find("\r\n\r\n")) == std::string::npos) {
        if (!fill()) return {};
    }
    Answer answer;
    std::string head = pending_.substr(0, end);
    pending_.erase(0, end + 4);
    std::size_t lineEnd = head.find("\r\n");
    std::string statusLine = head.substr(0, lineEnd);
    answer.status = std::stoi(statusLine.substr(statusLine.find(' ') + 1, 3));
    std::size_t at = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
    while (at < head.size()) {
        std::size_t next = head.find("\r\n", at);
        if (next == std::string::npos) next = head.size();
        std::string line = head.substr(at, next - at);
        auto colon = line.find(':');
        std::string name = line.substr(0, colon);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
        while (!value.empty() && value.front() == ' ') value.erase(0, 1);
        answer.headers[name] = value;
        at = next + 2;
    }
    // 100 Continue is not the answer: read on.
    if (answer.status == 100) return read(timeout);
    std::size_t length = answer.headers.count("content-length") ? std::stoul(answer.headers["content-length"]) : 0;
    while (pending_.size() < length) {
        if (!fill()) return {};
    }
    answer.body = pending_.substr(0, length);
    pending_.erase(0, length);
    return answer;
}

bool Connection::closedByServer(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd wait{fd_, POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(left.count())) <= 0) return false;
        char chunk[4096];
        ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) return true;
    }
}

Answer exchange(unsigned short port, const std::string& rawRequest) {
    Connection connection(port);
    connection.send(rawRequest);
    return connection.read();
}

std::string request(const std::string& method, const std::string& target,
                    const std::vector<std::pair<std::string, std::string>>& headers, const std::string& body) {
    std::string out = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (const auto& [name, value] : headers) out += name + ": " + value + "\r\n";
    out += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    return out;
}

}  // namespace probe
