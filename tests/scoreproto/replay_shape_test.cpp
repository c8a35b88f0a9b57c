// The size rules of a submitted replay at each of their edges, and the names
// a player may take.
#include <gtest/gtest.h>

#include "scoreproto/player_name.h"
#include "scoreproto/replay_shape.h"

using scoreproto::ReplayShape;

namespace {

struct ShapeCase {
    std::size_t bytes;
    ReplayShape shape;
};

TEST(ReplayShape, EverySizeEdgeIsDecidedAsTheGameSavesReplays) {
    const ShapeCase cases[] = {
        {0, ReplayShape::Empty},
        {1, ReplayShape::TornRecord},
        {23, ReplayShape::TornRecord},
        {24, ReplayShape::TooFewRecords},
        {25, ReplayShape::TornRecord},
        {47, ReplayShape::TornRecord},
        {48, ReplayShape::Ok},
        {49, ReplayShape::TornRecord},
        {240048, ReplayShape::Ok},  // 1000 m flown whole
        {863999, ReplayShape::TornRecord},
        {864000, ReplayShape::Ok},  // the recording cap
        {864001, ReplayShape::TooManyRecords},
        {864024, ReplayShape::TooManyRecords},
        {std::size_t(-1), ReplayShape::TooManyRecords},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scoreproto::checkReplayShape(c.bytes), c.shape) << c.bytes << " bytes";
    }
}

TEST(ReplayShape, OnlyTheFourStagesExist) {
    for (long stage : {-1L, 4L, 1000L, -2147483648L}) EXPECT_FALSE(scoreproto::isValidStage(stage)) << stage;
    for (long stage : {0L, 1L, 2L, 3L}) EXPECT_TRUE(scoreproto::isValidStage(stage)) << stage;
}

TEST(PlayerName, OnlyWhatTheFontDrawsFromOneToTwelveCharacters) {
    const std::pair<std::string, bool> cases[] = {
        {"A", true},
        {"kvr-2013.ace", true},  // 12
        {"Z9", true},
        {"", false},
        {"kvr-2013.ace1", false},  // 13
        {"two words", false},
        {"under_score", false},
        {"tab\t", false},
        {std::string("nul\0x", 5), false},
        {"caf\xc3\xa9", false},  // a letter outside ASCII
        {"slash/", false},
    };
    for (const auto& [name, valid] : cases) EXPECT_EQ(scoreproto::isValidPlayerName(name), valid) << name;
}

TEST(PlayerName, NamesThatDifferOnlyInCaseShareOneKey) {
    EXPECT_EQ(scoreproto::nameKey("Ace.Pilot-1"), "ace.pilot-1");
    EXPECT_EQ(scoreproto::nameKey("ACE"), scoreproto::nameKey("ace"));
    EXPECT_NE(scoreproto::nameKey("ace"), scoreproto::nameKey("ace."));
}

}  // namespace
