// The replay corpus keeps covering what it says it covers: each generated
// replay, played through the corpus watch, still reaches the hard frame it
// was made for and plays the very run its expectation line records. And over
// every replay of the corpus, a miss while invincible changes nothing and no
// event ever starts a hit-stop.
#include <fstream>
#include <map>
#include <sstream>

#include "corpus/corpus_cases.h"
#include "headless_game.h"

namespace corpus {

// Test names and failure messages show a case by its name.
void PrintTo(const CorpusCase& corpusCase, std::ostream* out) { *out << corpusCase.name; }

}  // namespace corpus

namespace {

const std::string CORPUS_DIR = std::string(KVR_SOURCE_DIR) + "/tests/corpus";

struct CorpusEntry {
    int stage = -1;
    int hiScore = 0;
    std::string line;
};

// The entries of expected.txt by name.
std::map<std::string, CorpusEntry> readExpected() {
    std::map<std::string, CorpusEntry> entries;
    std::ifstream in(CORPUS_DIR + "/expected.txt");
    std::string text;
    while (std::getline(in, text)) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream fields(text);
        std::string name, digest;
        CorpusEntry entry;
        fields >> name >> entry.stage >> entry.hiScore >> digest >> std::ws;
        std::getline(fields, entry.line);
        entries[name] = entry;
    }
    return entries;
}

std::string replayFile(const std::string& name) { return CORPUS_DIR + "/replays/" + name + ".bin"; }

class CorpusCoverage : public HeadlessGame {
protected:
    void SetUp() override {
        HeadlessGame::SetUp();
        restartAsVerifier();
    }
};

class GeneratedReplay : public CorpusCoverage, public ::testing::WithParamInterface<corpus::CorpusCase> {};

TEST_P(GeneratedReplay, StillShowsWhatItWasMadeForInTheRunItsEntryExpects) {
    const corpus::CorpusCase& corpusCase = GetParam();
    const std::map<std::string, CorpusEntry> entries = readExpected();
    const auto entry = entries.find(corpusCase.name);
    ASSERT_NE(entry, entries.end()) << "expected.txt has no entry for " << corpusCase.name;
    EXPECT_EQ(entry->second.stage, corpusCase.stage) << "the entry and the generator play different stages";
    EXPECT_EQ(entry->second.hiScore, corpusCase.hiScore);

    const corpus::RunNotes run =
        corpus::playCorpusReplay(replayFile(corpusCase.name), corpusCase.stage, corpusCase.hiScore);
    EXPECT_EQ(corpusCase.lacks(run), "") << corpusCase.name << " should cover: " << corpusCase.covers;
    EXPECT_EQ(run.line, entry->second.line) << "the watch must play the run the verifier plays";
}

INSTANTIATE_TEST_SUITE_P(Corpus, GeneratedReplay, ::testing::ValuesIn(corpus::GENERATED_CASES),
                         [](const ::testing::TestParamInfo<corpus::CorpusCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(CorpusCoverage, NoReplayIgnoresAMissWithEffectsOrStartsAHitStop) {
    const std::map<std::string, CorpusEntry> entries = readExpected();
    ASSERT_GE(entries.size(), 16u);
    int ignoredMisses = 0;
    for (const auto& [name, entry] : entries) {
        SCOPED_TRACE(name);
        const corpus::RunNotes run = corpus::playCorpusReplay(replayFile(name), entry.stage, entry.hiScore);
        EXPECT_EQ(run.line, entry.line);
        EXPECT_EQ(run.ignoredMissesThatChangedTheRun, 0) << "a miss while invincible must do nothing at all";
        EXPECT_EQ(run.hitStopStarts, 0) << "a hit-stop started: the corpus has no replay covering one";
        ignoredMisses += run.wallMissesWhileInvincible + run.enemyMissesWhileInvincible;
    }
    EXPECT_GT(ignoredMisses, 100) << "the corpus should pass through plenty of walls while invincible";
}

}  // namespace
