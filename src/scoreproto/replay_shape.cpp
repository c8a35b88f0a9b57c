// The size rules of a submitted replay. A torn file is refused rather than
// cut: the game plays a torn last record as held buttons, and the server must
// not guess which bytes the player meant.
#include "scoreproto/replay_shape.h"

namespace scoreproto {

ReplayShape checkReplayShape(std::size_t bytes) {
    if (bytes == 0) return ReplayShape::Empty;
    // Too many is decided first: a huge torn body is refused for its size.
    if (bytes > kMaxReplayBytes) return ReplayShape::TooManyRecords;
    if (bytes % kRecordBytes != 0) return ReplayShape::TornRecord;
    if (bytes / kRecordBytes < kMinRecords) return ReplayShape::TooFewRecords;
    return ReplayShape::Ok;
}

bool isValidStage(long stage) { return stage >= 0 && stage <= 3; }

const char* describeReplayShape(ReplayShape shape) {
    switch (shape) {
    case ReplayShape::Ok: return "a whole replay";
    case ReplayShape::Empty: return "the replay is empty";
    case ReplayShape::TornRecord: return "the replay ends inside a record";
    case ReplayShape::TooFewRecords: return "the replay holds fewer than 2 records";
    case ReplayShape::TooManyRecords: return "the replay holds more than 36000 records";
    }
    return "unknown replay shape";
}

}  // namespace scoreproto
