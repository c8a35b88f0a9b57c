#include "scoreserver/serve_command.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "scoredb/database_url.h"
#include "scoredb/score_store.h"
#include "scoreserver/command_options.h"
#include "scoreserver/http_listener.h"
#include "scoreserver/score_service.h"
#include "verifypool/verifier_pool.h"

namespace scoreserver {
namespace {

const char* const kServeUsage =
    "usage: kvr2013-scores serve [--listen HOST:PORT] [--database sqlite:PATH|postgresql://...] [--web DIR]\n"
    "         [--verifier PATH] [--workers N] [--queue N] [--threads N] [--submit-rate N] [--read-rate N]\n"
    "         [--verify-timeout-ms N] [--read-timeout-ms N] [--trusted-proxy ADDRESS]\n";

void splitListen(const std::string& listen, std::string& host, unsigned short& port) {
    auto colon = listen.rfind(':');
    if (colon == std::string::npos) throw UsageError("--listen takes HOST:PORT");
    host = listen.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    std::string digits = listen.substr(colon + 1);
    long value = -1;
    try {
        std::size_t used = 0;
        value = std::stol(digits, &used);
        if (used != digits.size()) value = -1;
    } catch (const std::exception&) {
        value = -1;
    }
    if (host.empty() || value < 0 || value > 65535) throw UsageError("--listen takes HOST:PORT");
    port = static_cast<unsigned short>(value);
}

}  // namespace

int runServeCommand(int argc, char** argv) {
    // A client gone or a closed stdout is an error to handle, not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
    ParsedOptions options;
    ListenerOptions listen;
    ServiceOptions service;
    unsigned workers = std::thread::hardware_concurrency();
    if (workers == 0) workers = 1;
    verifypool::VerifyLimits limits;
    std::size_t queue = 0;
    std::string database;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--help") {
            std::fputs(kServeUsage, stdout);
            return 0;
        }
    }
    try {
        options = parseOptions(argc, argv, 2,
                               {"listen", "database", "web", "verifier", "workers", "queue", "threads", "submit-rate",
                                "read-rate", "verify-timeout-ms", "read-timeout-ms", "trusted-proxy"});
        if (!options.positional.empty()) throw UsageError("unexpected argument " + options.positional[0]);
        splitListen(options.get("listen", "127.0.0.1:8080"), listen.host, listen.port);
        workers = static_cast<unsigned>(options.number("workers", workers, 1, 256));
        // A few jobs a worker waiting: beyond that a client is better told to come back.
        queue = static_cast<std::size_t>(options.number("queue", workers * 4, 0, 100000));
        listen.threads = static_cast<unsigned>(options.number("threads", 2, 1, 64));
        service.submissionsPerMinute = static_cast<double>(options.number("submit-rate", 6, 1, 1000000));
        service.submissionBurst = service.submissionsPerMinute;
        service.readsPerMinute = static_cast<double>(options.number("read-rate", 600, 1, 100000000));
        service.readBurst = service.readsPerMinute;
        service.webDir = options.get("web");
        service.trustedProxy = options.get("trusted-proxy");
        limits.wallMillis = options.number("verify-timeout-ms", limits.wallMillis, 100, 600000);
        listen.readTimeout = std::chrono::milliseconds(options.number("read-timeout-ms", 10000, 100, 600000));
        database = options.get("database", scoredb::defaultDatabaseUrl());
        scoredb::parseDatabaseUrl(database);
    } catch (const std::exception& problem) {
        std::fprintf(stderr, "kvr2013-scores: %s\n%s", problem.what(), kServeUsage);
        return 2;
    }
    try {
        scoredb::ScoreStore store(database, listen.threads + workers);
        verifypool::VerifierPool pool(options.get("verifier", defaultVerifierPath()), workers, queue, limits);
        ScoreService scores(store, pool, service);
        HttpListener listener(
            listen, [&scores](HttpRequest request, Reply reply) { scores.handle(std::move(request), std::move(reply)); },
            [&scores](int status) { scores.countRefusal(status); });
        std::string host = listen.host.find(':') != std::string::npos ? "[" + listen.host + "]" : listen.host;
        std::printf("listening http://%s:%u\n", host.c_str(), static_cast<unsigned>(listener.port()));
        std::fflush(stdout);
        listener.run();
        std::fprintf(stderr, "kvr2013-scores: stopped\n");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kvr2013-scores: %s\n", failure.what());
        return 1;
    }
    return 0;
}

}  // namespace scoreserver
