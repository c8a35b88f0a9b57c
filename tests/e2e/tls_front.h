// The score server as players reach it: the packaged nginx site
// (packaging/kvr2013-scores.nginx) in front, TLS with a certificate for
// 127.0.0.1 signed by a throw-away CA, plain HTTP to the server behind it.
// A second CA that signed nothing stands for a server the player never
// trusted. Everything lives in a directory of the test's own; nginx runs as
// the test's user on a free port and is stopped at the end.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace e2e {

class TlsFront {
public:
    // upstream: the score server's "http://127.0.0.1:PORT".
    TlsFront(const std::filesystem::path& dir, const std::string& upstream);
    ~TlsFront();
    TlsFront(const TlsFront&) = delete;
    TlsFront& operator=(const TlsFront&) = delete;

    // "https://127.0.0.1:PORT"
    const std::string& url() const { return url_; }
    // The CA that signed the front's certificate, and one that did not.
    std::filesystem::path caFile() const { return dir_ / "ca.pem"; }
    std::filesystem::path strangerCaFile() const { return dir_ / "stranger-ca.pem"; }

private:
    std::filesystem::path dir_;
    std::string url_;
    pid_t pid_ = -1;
};

}  // namespace e2e
