// Drives a running kvr2013-scores for the benchmarks: signs requests as a
// player does and sends them over plain sockets.
//   scores_bench_driver load PORT N REPLAY      N players, each a different opening of REPLAY on stage 0
//   scores_bench_driver submit PORT SECONDS CONNECTIONS REPLAY VERIFIER
//       whole-replay submissions for SECONDS from CONNECTIONS clients, beside
//       the verifier's own ceiling (cores / one verification's time)
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "http_probe.h"
#include "scoreproto/request_signature.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string readFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string signedRequest(const scoreproto::PlayerKey& key, const std::string& method, const std::string& target,
                          const std::string& body, const std::string& type) {
    std::string stamp = std::to_string(static_cast<long long>(std::time(nullptr)));
    std::string nonce = scoreproto::randomNonceHex();
    std::string signature = scoreproto::signHex(key, scoreproto::signingText(method, target, stamp, nonce, body));
    return probe::request(method, target,
                          {{scoreproto::kKeyHeader, key.publicHex},
                           {scoreproto::kTimestampHeader, stamp},
                           {scoreproto::kNonceHeader, nonce},
                           {scoreproto::kSignatureHeader, signature},
                           {"Content-Type", type}},
                          body);
}

scoreproto::PlayerKey registerPlayer(unsigned short port, const std::string& name) {
    auto key = scoreproto::generatePlayerKey();
    std::string body = "{\"name\":\"" + name + "\",\"public_key\":\"" + key.publicHex + "\"}";
    auto answer = probe::exchange(port, signedRequest(key, "POST", "/api/v1/players", body, "application/json"));
    if (answer.status != 201 && answer.status != 200) {
        std::fprintf(stderr, "registering %s: %d %s\n", name.c_str(), answer.status, answer.body.c_str());
        std::exit(1);
    }
    return key;
}

int load(unsigned short port, int players, const std::string& replay) {
    std::size_t records = 0;
    for (int i = 1; i <= players; ++i) {
        auto key = registerPlayer(port, "P" + std::to_string(i));
        // Openings a second apart; one that plays the same run as a shorter
        // one (nothing held in between) is skipped for the next.
        for (;;) {
            records += 60;
            if (records * 24 > replay.size()) {
                std::fprintf(stderr, "the replay has too few different openings\n");
                return 1;
            }
            auto answer = probe::exchange(port, signedRequest(key, "POST", "/api/v1/runs?stage=0",
                                                              replay.substr(0, records * 24),
                                                              "application/octet-stream"));
            if (answer.status == 201) break;
            if (answer.status != 409) {
                std::fprintf(stderr, "entry %d: %d %s\n", i, answer.status, answer.body.c_str());
                return 1;
            }
        }
    }
    return 0;
}

// One verification of the replay by the verifier itself, in seconds, its
// trace written to a file as the server has it written.
double verifySeconds(const std::string& verifier, const std::string& replayFile) {
    std::string trace = "/tmp/kvr-bench-trace-" + std::to_string(getpid());
    auto start = Clock::now();
    pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        execl(verifier.c_str(), verifier.c_str(), "--stage", "0", "--replay", replayFile.c_str(), "--trace",
              trace.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    waitpid(child, nullptr, 0);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::remove(trace.c_str());
    return seconds;
}

int submit(unsigned short port, double seconds, int connections, const std::string& replayFile,
           const std::string& verifier) {
    // The ceiling first, with the server idle: one verifier a core, back to
    // back, for a quarter of the time (the machine's other load counts here
    // as it counts for the server).
    unsigned cores = std::thread::hardware_concurrency();
    std::atomic<long> played{0};
    std::atomic<double> busySeconds{0};
    auto ceilingEnd = Clock::now() + std::chrono::duration<double>(seconds / 4);
    std::vector<std::thread> verifiers;
    for (unsigned c = 0; c < cores; ++c) {
        verifiers.emplace_back([&] {
            while (Clock::now() < ceilingEnd) {
                double taken = verifySeconds(verifier, replayFile);
                busySeconds = busySeconds + taken;
                ++played;
            }
        });
    }
    for (auto& thread : verifiers) thread.join();
    double best = busySeconds / static_cast<double>(played);
    double ceiling = cores / best;

    std::string replay = readFile(replayFile);
    // One player: another player's copy would be refused (409) after its verification.
    auto key = registerPlayer(port, "Bench");
    std::atomic<long> accepted{0}, busy{0}, other{0};
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    std::vector<std::thread> clients;
    for (int c = 0; c < connections; ++c) {
        clients.emplace_back([&] {
            probe::Connection connection(port);
            while (Clock::now() < end) {
                // The same run again each time: every one is played before it is known as the same.
                connection.send(signedRequest(key, "POST", "/api/v1/runs?stage=0",
                                              replay, "application/octet-stream"));
                auto answer = connection.read();
                if (answer.status == 200 || answer.status == 201) {
                    ++accepted;
                } else if (answer.status == 503) {
                    ++busy;
                    // As a client should: back again after Retry-After.
                    std::this_thread::sleep_for(std::chrono::seconds(std::stoi("0" + answer.header("retry-after"))));
                } else {
                    if (other++ < 5) std::fprintf(stderr, "answer %d: %s\n", answer.status, answer.body.c_str());
                    if (answer.status == 0) return;
                }
            }
        });
    }
    for (auto& client : clients) client.join();
    std::printf("verifier: %.1f ms a 1000 m replay (mean, one a core at once), ceiling %u cores / that = %.1f a second\n", best * 1000, cores,
                ceiling);
    std::printf("server:   %.1f accepted a second (%.0f %% of the ceiling), %ld answered 503, %ld other\n",
                accepted / seconds, 100 * accepted / seconds / ceiling, busy.load(), other.load());
    return other == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "load" && argc == 5) return load(static_cast<unsigned short>(std::stoi(argv[2])), std::stoi(argv[3]), readFile(argv[4]));
    if (mode == "submit" && argc == 7) {
        return submit(static_cast<unsigned short>(std::stoi(argv[2])), std::stod(argv[3]), std::stoi(argv[4]), argv[5],
                      argv[6]);
    }
    std::fprintf(stderr, "usage: scores_bench_driver load PORT N REPLAY\n"
                         "       scores_bench_driver submit PORT SECONDS CONNECTIONS REPLAY VERIFIER\n");
    return 2;
}
