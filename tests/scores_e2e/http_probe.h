// A small HTTP/1.1 client over a plain POSIX socket for the score server's
// tests: it sends exactly the bytes a test writes (odd framings included)
// and reads answers framed by Content-Length, several on one connection.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace probe {

struct Answer {
    int status = 0;  // 0: the connection closed with no answer
    std::map<std::string, std::string> headers;  // lower-case names
    std::string body;
    std::string header(const std::string& name) const {
        auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    }
};

class Connection {
public:
    explicit Connection(unsigned short port);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool send(const std::string& bytes);  // false once the server has closed
    // The next answer, or status 0 when the connection ends first or nothing
    // comes within the timeout.
    Answer read(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // True when the server closes the connection within the timeout.
    bool closedByServer(std::chrono::milliseconds timeout);

private:
    int fd_ = -1;
    std::string pending_;
};

// One request on a new connection.
Answer exchange(unsigned short port, const std::string& rawRequest);

std::string request(const std::string& method, const std::string& target,
                    const std::vector<std::pair<std::string, std::string>>& headers, const std::string& body);

}  // namespace probe
