// Certificates are checked: a server whose certificate a private CA signed
// is answered through that CA's file, and refused without it or with
// another CA's. The server is openssl's own test server on 127.0.0.1 with a
// CA and certificates made for the test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "scoreclient/curl_transport.h"

using namespace scoreclient;

namespace {

namespace fs = std::filesystem;

// A CA named `ca` in dir (ca.pem, ca.key); with `server`, also a
// certificate for 127.0.0.1 signed by it (server.pem, server.key).
bool makeCertificates(const fs::path& dir, const std::string& ca, bool server) {
    std::string script = "cd '" + dir.string() + "' && " +
                         "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
                         "-keyout " + ca + ".key -out " + ca + ".pem -subj '/CN=" + ca + "'";
    if (server) {
        script += " && openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key "
                  "-out server.csr -subj /CN=127.0.0.1 && printf 'subjectAltName=IP:127.0.0.1\\n' > san.cnf && "
                  "openssl x509 -req -in server.csr -CA " + ca + ".pem -CAkey " + ca + ".key -CAcreateserial "
                  "-days 2 -extfile san.cnf -out server.pem";
    }
    return std::system(("(" + script + ") >/dev/null 2>&1").c_str()) == 0;
}

// `openssl s_server -www` on a port of its own choosing: it answers any GET with 200.
class TlsServer {
public:
    explicit TlsServer(const fs::path& dir) {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            const std::string cert = (dir / "server.pem").string(), key = (dir / "server.key").string();
            ::execlp("openssl", "openssl", "s_server", "-accept", "127.0.0.1:0", "-cert", cert.c_str(), "-key",
                     key.c_str(), "-www", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        std::string said;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        const std::string accept = "ACCEPT 127.0.0.1:";
        while (said.find(accept) == std::string::npos || said.find('\n', said.find(accept)) == std::string::npos) {
            pollfd wait{out[0], POLLIN, 0};
            if (std::chrono::steady_clock::now() > deadline) break;
            if (::poll(&wait, 1, 200) <= 0) continue;
            char c;
            if (::read(out[0], &c, 1) != 1) break;
            said += c;
        }
        ::close(out[0]);
        if (const auto at = said.find(accept); at != std::string::npos) port = std::atoi(said.c_str() + at + accept.size());
    }
    ~TlsServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    int port = 0;

private:
    pid_t pid_ = -1;
};

TEST(CurlTransport, AServersCertificateIsCheckedAgainstTheCaFileGiven) {
    if (std::system("command -v openssl >/dev/null 2>&1") != 0) GTEST_SKIP() << "no openssl to make certificates";
    const fs::path dir = fs::temp_directory_path() / ("kvr-tls-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ASSERT_TRUE(makeCertificates(dir, "private-ca", true));
    ASSERT_TRUE(makeCertificates(dir, "other-ca", false));
    {
        TlsServer server(dir);
        ASSERT_NE(server.port, 0);
        const HttpRequest request{"GET", "https://127.0.0.1:" + std::to_string(server.port) + "/healthz", {}, {}};
        const HttpTimeouts timeouts{.connectMillis = 5000, .totalMillis = 10000};

        EXPECT_EQ(CurlTransport(timeouts, (dir / "private-ca.pem").string()).send(request).status, 200);
        EXPECT_THROW(CurlTransport(timeouts, (dir / "other-ca.pem").string()).send(request), TransportError);
        EXPECT_THROW(CurlTransport(timeouts).send(request), TransportError) << "the system's CAs never signed it";
    }
    fs::remove_all(dir);
}

}  // namespace
