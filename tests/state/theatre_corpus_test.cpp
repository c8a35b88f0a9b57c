// Every replay of the corpus watched in the theatre, each at one of the six
// speeds: the show stops on the results frame and prints exactly the line
// the corpus expects of the verifier for that file.
#include <fstream>
#include <sstream>

#include "headless_scene.h"
#include "state/theatre_main.h"

namespace {

struct CorpusEntry {
    std::string name;
    int stage = 0;
    int hiScore = 0;
    std::string line;
    int frames = 0;
};

std::vector<CorpusEntry> corpusEntries() {
    std::ifstream in(std::string(KVR_SOURCE_DIR) + "/tests/corpus/expected.txt");
    std::vector<CorpusEntry> entries;
    for (std::string text; std::getline(in, text);) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream fields(text);
        CorpusEntry entry;
        std::string digest;
        fields >> entry.name >> entry.stage >> entry.hiScore >> digest;
        std::getline(fields >> std::ws, entry.line);
        const size_t at = entry.line.find("frames=");
        if (at != std::string::npos) entry.frames = std::stoi(entry.line.substr(at + 7));
        entries.push_back(entry);
    }
    return entries;
}

class TheatreCorpus : public HeadlessScene {
protected:
    KilnHeadlessOptions backendOptions() const override {
        KilnHeadlessOptions options = HeadlessScene::backendOptions();
        options.writeRunLog = false;
        return options;
    }
};

TEST_F(TheatreCorpus, EveryReplayEndsOnTheVerifiersLineAtAnySpeed) {
    const std::vector<CorpusEntry> entries = corpusEntries();
    ASSERT_GE(entries.size(), 15u);
    int speed = 0;
    for (const CorpusEntry& entry : entries) {
        SCOPED_TRACE(entry.name);
        // The long runs at x8; the others in turn at every speed.
        const int step = entry.frames > 12000 ? THEATRE_SPEED_COUNT - 1 : speed++ % THEATRE_SPEED_COUNT;
        const std::string replay = std::string(KVR_SOURCE_DIR) + "/tests/corpus/replays/" + entry.name + ".bin";
        TheatreMain theatre(WatchRequest{replay, entry.stage, step, entry.hiScore});
        ASSERT_NE(theatre.watchedRun(), nullptr);
        EXPECT_EQ(theatre.watchedRun()->lastFrame(), entry.frames);
        testing::internal::CaptureStdout();
        for (int frame = 0; frame < 4 * entry.frames + 10 && !theatre.isPaused(); ++frame) {
            Kiln_waitFrame(16);
            theatre.update();
            kiln_headless::clearDrawCalls();
            theatre.draw();
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), entry.line + "\n") << "at " << theatreSpeed(step).label;
        EXPECT_EQ(theatre.watchedRun()->frame(), entry.frames);
    }
}

}  // namespace
