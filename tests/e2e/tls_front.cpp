#include "tls_front.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "e2e_support.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

// A port nothing listens on now: the kernel's choice for a socket bound to 0.
unsigned short freePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        throw std::runtime_error("no free port");
    }
    close(s);
    return ntohs(address.sin_port);
}

bool accepting(unsigned short port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool connected = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return connected;
}

void run(const std::string& command) {
    int status = 0;
    const std::string output = runCommand(command + " 2>&1", &status);
    if (status != 0) throw std::runtime_error(command + ": " + output);
}

// A CA, and a certificate for 127.0.0.1 it signs (P-256 keys: quick to make).
void makeCertificates(const fs::path& dir) {
    const std::string d = shellQuote(dir.string()) + "/";
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    run("openssl req -x509" + key + " -keyout " + d + "ca.key -out " + d + "ca.pem -days 2 -subj '/CN=KVR test CA'");
    run("openssl req -x509" + key + " -keyout " + d + "stranger-ca.key -out " + d +
        "stranger-ca.pem -days 2 -subj '/CN=KVR stranger CA'");
    run("openssl req" + key + " -keyout " + d + "server.key -out " + d + "server.csr -subj '/CN=127.0.0.1'");
    std::ofstream(dir / "server.ext") << "subjectAltName=IP:127.0.0.1\n";
    run("openssl x509 -req -in " + d + "server.csr -CA " + d + "ca.pem -CAkey " + d + "ca.key -CAcreateserial -out " +
        d + "server.pem -days 2 -extfile " + d + "server.ext");
}

void replaceOnce(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    // The packaged site changed shape: this test must follow it.
    if (at == std::string::npos) throw std::runtime_error("packaging/kvr2013-scores.nginx has no \"" + from + "\"");
    text.replace(at, from.size(), to);
}

// The packaged site's TLS server block, pointed at this test's files and ports.
std::string siteFor(const fs::path& dir, unsigned short port, const std::string& upstream) {
    std::string site = readFile(fs::path(KVR_SOURCE_DIR) / "packaging" / "kvr2013-scores.nginx");
    const auto tls = site.find("listen 443");
    if (tls == std::string::npos) throw std::runtime_error("packaging/kvr2013-scores.nginx has no TLS server");
    site = "server {\n    " + site.substr(tls);
    replaceOnce(site, "listen 443 ssl http2;", "listen 127.0.0.1:" + std::to_string(port) + " ssl http2;");
    replaceOnce(site, "listen [::]:443 ssl http2;", "");
    replaceOnce(site, "/etc/ssl/certs/scores.example.org.pem", (dir / "server.pem").string());
    replaceOnce(site, "/etc/ssl/private/scores.example.org.key", (dir / "server.key").string());
    replaceOnce(site, "proxy_pass http://127.0.0.1:8080;", "proxy_pass " + upstream + ";");
    return site;
}

}  // namespace

TlsFront::TlsFront(const fs::path& dir, const std::string& upstream) : dir_(dir / "tls-front") {
    fs::create_directories(dir_);
    makeCertificates(dir_);
    const unsigned short port = freePort();
    const std::string d = dir_.string();
    std::ofstream(dir_ / "nginx.conf") << "daemon off;\nworker_processes 1;\npid " << d << "/nginx.pid;\n"
                                       << "error_log " << d << "/error.log;\nevents { worker_connections 64; }\n"
                                       << "http {\n  access_log off;\n  client_body_temp_path " << d
                                       << ";\n  proxy_temp_path " << d << ";\n  fastcgi_temp_path " << d
                                       << ";\n  uwsgi_temp_path " << d << ";\n  scgi_temp_path " << d << ";\n"
                                       << siteFor(dir_, port, upstream) << "}\n";
    pid_ = fork();
    if (pid_ == 0) {
        execlp("nginx", "nginx", "-e", (d + "/error.log").c_str(), "-p", d.c_str(), "-c", (d + "/nginx.conf").c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    if (!waitUntil([&] { return accepting(port); })) {
        throw std::runtime_error("nginx did not start: " + readFile(dir_ / "error.log"));
    }
    url_ = "https://127.0.0.1:" + std::to_string(port);
}

TlsFront::~TlsFront() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

}  // namespace e2e
