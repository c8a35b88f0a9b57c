// The verifier's per-frame trace: one line of the run's state after each
// update, so two plays of one replay can be compared frame by frame.
#pragma once

#include <cstdio>
#include <string>

class GameMain;

class RunTraceWriter {
public:
    // Throws std::runtime_error when the file cannot be created.
    explicit RunTraceWriter(const std::string& file);
    ~RunTraceWriter();
    RunTraceWriter(const RunTraceWriter&) = delete;
    RunTraceWriter& operator=(const RunTraceWriter&) = delete;

    // 18 decimal fields separated by one space: frameCounter, phase, score,
    // scrollPos, player y, vy, energy, life, barrierFrames, invincibleFrames,
    // sparkleFrames, live walls, items, enemies, effects, shakeFrames,
    // slowMotionFrames, the random generator's index word.
    void writeLine(const GameMain& game, unsigned randIndex);

    // Flushes and closes; throws std::runtime_error when the data did not reach the file.
    void close();

private:
    std::FILE* file_ = nullptr;
    std::string name_;
};
