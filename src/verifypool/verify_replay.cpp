// One verification from start to end: scratch directory, replay file, child,
// line, trace digest, and the scratch directory removed whatever happened.
#include "verifypool/verify_replay.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "scoreproto/file_digest.h"
#include "scoreproto/replay_shape.h"
#include "verifypool/limited_child.h"
#include "verifypool/verifier_line.h"

namespace verifypool {

namespace {

// The verifier prints one short line; anything longer is not it.
constexpr std::size_t kOutputCap = 1024;

class ScratchDirectory {
public:
    ScratchDirectory() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kvr-verify-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        // mkdtemp makes it 0700: no other user reads or swaps the files.
        if (::mkdtemp(name.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch directory in " + pattern + ": " + std::strerror(errno));
        }
        path_ = name.data();
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void writeReplay(const std::string& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + file);
}

std::string firstLineOf(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line.substr(0, 200);
}

VerifyOutcome failed(std::string why) {
    VerifyOutcome outcome;
    outcome.failure = std::move(why);
    return outcome;
}

VerifyOutcome play(const std::string& verifierPath, int stage, std::string_view replayBytes,
                   const VerifyLimits& limits) {
    const ScratchDirectory scratch;
    const std::string replay = scratch.file("replay.bin");
    const std::string trace = scratch.file("trace.txt");
    const std::string errors = scratch.file("stderr.txt");
    writeReplay(replay, replayBytes);

    const ChildResult child = runLimitedChild(
        {verifierPath, "--stage", std::to_string(stage), "--replay", replay, "--trace", trace}, limits, errors, kOutputCap);
    if (!child.started) return failed(child.failure);
    if (child.timedOut) return failed(child.failure);
    if (!child.exited) return failed("the verifier was killed by signal " + std::to_string(child.termSignal));
    if (child.exitCode != 0) {
        return failed("the verifier exited with status " + std::to_string(child.exitCode) + ": " + firstLineOf(errors));
    }
    VerifyOutcome outcome;
    if (child.outTruncated || !readVerifierLine(child.out, outcome)) {
        return failed("the verifier printed no result line: '" + child.out.substr(0, 200) + "'");
    }
    if (outcome.stage != stage) return failed("the verifier played stage " + std::to_string(outcome.stage));
    outcome.traceSha256 = scoreproto::sha256FileHex(trace);
    outcome.kind = VerifyOutcome::Kind::Played;
    return outcome;
}

}  // namespace

VerifyOutcome verifyReplay(const std::string& verifierPath, int stage, std::string_view replayBytes,
                           const VerifyLimits& limits) {
    if (!scoreproto::isValidStage(stage)) return failed("no stage " + std::to_string(stage));
    const auto shape = scoreproto::checkReplayShape(replayBytes.size());
    if (shape != scoreproto::ReplayShape::Ok) return failed(scoreproto::describeReplayShape(shape));
    try {
        return play(verifierPath, stage, replayBytes, limits);
    } catch (const std::exception& error) {
        return failed(error.what());
    }
}

}  // namespace verifypool
