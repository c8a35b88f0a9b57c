// The libcurl transport against a one-answer HTTP server on 127.0.0.1: the
// request goes out whole with its headers, the status, body and Retry-After
// come back, and a closed port is a TransportError rather than an answer.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "scoreclient/curl_transport.h"

using namespace scoreclient;

namespace {

// A listening socket on a free loopback port.
int listenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 1) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

TEST(CurlTransport, SendsTheWholeRequestAndReadsTheWholeAnswer) {
    int port = 0;
    const int listener = listenOnLoopback(port);
    ASSERT_GE(listener, 0);
    std::string received;
    std::thread server([&] {
        const int client = ::accept(listener, nullptr, nullptr);
        char buffer[4096];
        // Read until the body's last byte, which this test makes a '!'.
        while (received.empty() || received.back() != '!') {
            const ssize_t n = ::read(client, buffer, sizeof buffer);
            if (n <= 0) break;
            received.append(buffer, static_cast<std::size_t>(n));
        }
        const std::string body = "{\"error\": \"busy\"}";
        const std::string answer = "HTTP/1.1 503 Service Unavailable\r\nRetry-After:  4 \r\nContent-Type: application/json\r\n"
                                   "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        [[maybe_unused]] const ssize_t sent = ::write(client, answer.data(), answer.size());
        ::close(client);
    });
    HttpRequest request{"POST", "http://127.0.0.1:" + std::to_string(port) + "/api/v1/runs?stage=1",
                        {{"X-KVR-Nonce", "00ff"}, {"Content-Type", "application/octet-stream"}},
                        std::string(30000, '\x01') + "!"};
    const HttpResponse response = CurlTransport({.connectMillis = 5000, .totalMillis = 10000}).send(request);
    server.join();
    ::close(listener);
    EXPECT_EQ(response.status, 503);
    EXPECT_EQ(response.retryAfter, "4");
    EXPECT_EQ(response.body, "{\"error\": \"busy\"}");
    EXPECT_EQ(received.rfind("POST /api/v1/runs?stage=1 HTTP/1.1\r\n", 0), 0u) << received.substr(0, 200);
    EXPECT_NE(received.find("\r\nX-KVR-Nonce: 00ff\r\n"), std::string::npos);
    EXPECT_NE(received.find("\r\nContent-Length: 30001\r\n"), std::string::npos);
    EXPECT_EQ(received.find("Expect:"), std::string::npos);
    EXPECT_EQ(received.substr(received.size() - 30001), request.body);
}

TEST(CurlTransport, AClosedPortIsNoAnswer) {
    int port = 0;
    const int listener = listenOnLoopback(port);
    ASSERT_GE(listener, 0);
    ::close(listener);  // nothing listens there now
    HttpRequest request{"POST", "http://127.0.0.1:" + std::to_string(port) + "/api/v1/players", {}, "{}"};
    EXPECT_THROW(CurlTransport().send(request), TransportError);
}

}  // namespace
