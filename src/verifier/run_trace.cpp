// Writes the verifier's trace lines through a large stdio buffer: a long
// replay makes tens of thousands of them.
#include "verifier/run_trace.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "gamecore/game_main.h"

namespace {

constexpr size_t TRACE_BUFFER_BYTES = 1 << 16;

}  // namespace

RunTraceWriter::RunTraceWriter(const std::string& file) : name_(file) {
    file_ = std::fopen(file.c_str(), "wb");
    if (file_ == nullptr) throw std::runtime_error("cannot write the trace " + file + ": " + std::strerror(errno));
    std::setvbuf(file_, nullptr, _IOFBF, TRACE_BUFFER_BYTES);
}

RunTraceWriter::~RunTraceWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

void RunTraceWriter::writeLine(const GameMain& game, unsigned randIndex) {
    const long long fields[18] = {
        game.frameCounter,
        game.phase,
        game.score,
        game.scrollPos,
        game.player.y,
        game.player.vy,
        game.player.energy,
        game.player.life,
        game.player.barrierFrames,
        game.player.invincibleFrames,
        game.player.sparkleFrames,
        game.liveWalls(),
        game.liveItems(),
        game.liveEnemies(),
        game.liveEffects(),
        game.shakeFrames,
        game.slowMotionFrames,
        static_cast<long long>(randIndex),
    };
    char line[18 * 21 + 1];
    char* out = line;
    for (int i = 0; i < 18; ++i) {
        if (i > 0) *out++ = ' ';
        out = std::to_chars(out, line + sizeof line, fields[i]).ptr;
    }
    *out++ = '\n';
    std::fwrite(line, 1, static_cast<size_t>(out - line), file_);
}

void RunTraceWriter::close() {
    if (file_ == nullptr) return;
    const bool failed = std::ferror(file_) != 0;
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed || closeFailed) throw std::runtime_error("could not write the trace " + name_);
}
