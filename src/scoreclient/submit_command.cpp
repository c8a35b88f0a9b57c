// The submit command's steps and what each server answer means for its exit
// status. A request answered 5xx is sent again, newly signed (a nonce is
// good once), after the server's Retry-After.
#include "scoreclient/submit_command.h"

#include <sys/stat.h>

#include <charconv>
#include <fstream>
#include <iostream>
#include <thread>

#include "scoreclient/curl_transport.h"
#include "scoreclient/signed_request.h"
#include "scoreproto/replay_shape.h"
#include "scoreproto/request_signature.h"

namespace scoreclient {

namespace {

constexpr int kExitOnTable = 0, kExitRefused = 1, kExitTrouble = 2;

bool fileExists(const std::string& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0;
}

scoreproto::PlayerKey keyOfPlayer(const std::string& file, std::ostream& err) {
    if (fileExists(file)) return scoreproto::loadPlayerKey(file);
    scoreproto::PlayerKey key = scoreproto::generatePlayerKey();
    scoreproto::savePlayerKey(file, key);
    err << "kvr2013-scores: made a new player key in " << file << " (keep it: it is your name on the table)\n";
    return key;
}

std::string readReplay(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the replay " + file);
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(in.tellg());
    // Larger than the largest replay: no need to hold all of it.
    std::string bytes(std::min(size, scoreproto::kMaxReplayBytes + 1), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in) throw std::runtime_error("cannot read the replay " + file);
    return bytes;
}

std::chrono::milliseconds retryDelay(const std::string& retryAfter, std::chrono::milliseconds longest) {
    long seconds = 1;
    const auto [end, error] = std::from_chars(retryAfter.data(), retryAfter.data() + retryAfter.size(), seconds);
    if (retryAfter.empty() || error != std::errc() || end != retryAfter.data() + retryAfter.size() || seconds < 0) {
        seconds = 1;
    }
    return std::min(std::chrono::milliseconds(seconds * 1000), longest);
}

// Sends one signed request, again after a 5xx answer while attempts last.
HttpResponse sendSigned(HttpTransport& transport, const SubmitEnvironment& environment,
                        const scoreproto::PlayerKey& key, const SubmitArgs& args, const std::string& path,
                        const std::string& body, const std::string& contentType) {
    HttpResponse response;
    for (int attempt = 1;; ++attempt) {
        response = transport.send(
            signedRequest(key, "POST", args.server, path, body, contentType, environment.unixSeconds()));
        if (response.status < 500 || attempt >= environment.attempts) return response;
        environment.wait(retryDelay(response.retryAfter, environment.longestWait));
    }
}

int exitStatusOf(long status) {
    if (status == 200 || status == 201) return kExitOnTable;
    if (status >= 400 && status < 500) return kExitRefused;
    return kExitTrouble;
}

void printAnswer(const HttpResponse& response, std::ostream& out) {
    out << response.body;
    if (!response.body.empty() && response.body.back() != '\n') out << '\n';
}

}  // namespace

SubmitEnvironment realSubmitEnvironment() {
    SubmitEnvironment environment;
    environment.unixSeconds = [] {
        return static_cast<long long>(
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
    };
    environment.wait = [](std::chrono::milliseconds delay) { std::this_thread::sleep_for(delay); };
    return environment;
}

int runSubmit(const SubmitArgs& args, HttpTransport& transport, const SubmitEnvironment& environment,
              std::ostream& out, std::ostream& err) {
    try {
        const std::string replay = readReplay(args.replayFile);
        const auto shape = scoreproto::checkReplayShape(replay.size());
        if (shape != scoreproto::ReplayShape::Ok) {
            // No server takes it, so none is asked.
            err << "kvr2013-scores: " << args.replayFile << ": " << scoreproto::describeReplayShape(shape) << "\n";
            return kExitRefused;
        }
        const scoreproto::PlayerKey key = keyOfPlayer(args.keyFile, err);

        // Names hold only [A-Za-z0-9.-] and keys only hex: nothing to escape.
        const std::string player = "{\"name\": \"" + args.name + "\", \"public_key\": \"" + key.publicHex + "\"}";
        const HttpResponse registered =
            sendSigned(transport, environment, key, args, "/api/v1/players", player, "application/json");
        if (exitStatusOf(registered.status) != kExitOnTable) {
            err << "kvr2013-scores: the server did not register " << args.name << " (HTTP " << registered.status << ")\n";
            printAnswer(registered, out);
            return exitStatusOf(registered.status);
        }

        const HttpResponse submitted =
            sendSigned(transport, environment, key, args, "/api/v1/runs?stage=" + std::to_string(args.stage), replay,
                       "application/octet-stream");
        printAnswer(submitted, out);
        const int status = exitStatusOf(submitted.status);
        if (status != kExitOnTable) err << "kvr2013-scores: the server refused the run (HTTP " << submitted.status << ")\n";
        return status;
    } catch (const std::exception& error) {
        // TransportError, an unreadable replay or key file.
        err << "kvr2013-scores: " << error.what() << "\n";
        return kExitTrouble;
    }
}

}  // namespace scoreclient

int runSubmitCommand(int argc, char** argv) {
    scoreclient::SubmitArgs args;
    try {
        args = scoreclient::parseSubmitArgs(argc, argv);
    } catch (const scoreclient::SubmitUsageError& error) {
        std::cerr << "kvr2013-scores submit: " << error.what() << "\n" << scoreclient::submitUsage();
        return 2;
    }
    scoreclient::CurlTransport transport;
    return scoreclient::runSubmit(args, transport, scoreclient::realSubmitEnvironment(), std::cout, std::cerr);
}
