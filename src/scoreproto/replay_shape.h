// What a submitted replay file must look like before anything plays it: whole
// 24-byte records (the keypad's on-disk frame), at least the two the game
// writes around a run and at most the recording cap, and a stage that exists.
#pragma once

#include <cstddef>

namespace scoreproto {

inline constexpr std::size_t kRecordBytes = 24, kMinRecords = 2, kMaxRecords = 36000,
                             kMaxReplayBytes = kRecordBytes * kMaxRecords;  // 864000

enum class ReplayShape { Ok, Empty, TornRecord, TooFewRecords, TooManyRecords };

ReplayShape checkReplayShape(std::size_t bytes);
bool isValidStage(long stage);  // 0..3

// A short English phrase for an error body ("the replay ends inside a record").
const char* describeReplayShape(ReplayShape shape);

}  // namespace scoreproto
