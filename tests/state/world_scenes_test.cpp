// The scenes with a world that answers as the test says: the title's world
// line for each reach, the world table's rows, WATCH leading to the theatre
// and RACE to the next run's ghost, the ghosts GHOST = NEXT and WORLD race,
// and a live run telling the world of its countdown and of its record.
#include <filesystem>

#include "config/player_files.h"
#include "fake_world_service.h"
#include "gamecore/scene_test_support.h"
#include "state/live_run_main.h"
#include "state/theatre_main.h"
#include "state/theatre_progress_bar.h"
#include "state/title_main.h"
#include "state/watch_request.h"
#include "state/world_ghost.h"
#include "state/world_table_main.h"

namespace {

std::string benchReplay(const std::string& name) { return std::string(KVR_SOURCE_DIR) + "/bench/data/" + name; }

world::WorldEntry entry(int rank, const std::string& player, int score) {
    return {.rank = rank, .player = player, .score = score, .runId = "run" + std::to_string(rank)};
}

class WorldScenes : public HeadlessWorldScene {
protected:
    void SetUp() override {
        HeadlessWorldScene::SetUp();
        takeRaceRequest();
        takeWatchRequest();
    }

    void writeConfig(const std::string& extra, int hiScore1 = 0) {
        writeFile("config.ini", "HI_SCORE1 = " + std::to_string(hiScore1) +
                                    "\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n" + extra);
    }

    // A replay of the world's in the cache folder, as the service would keep it.
    world::CachedReplay cacheReplay(const world::WorldEntry& of, const std::string& benchFile) {
        std::filesystem::create_directories("cache");
        const std::string path = "cache/" + of.runId + ".bin";
        std::filesystem::copy_file(benchReplay(benchFile), path, std::filesystem::copy_options::overwrite_existing);
        return {.runId = of.runId, .stage = 0, .path = path, .entry = of};
    }

    // The file the first frame's ghost of a live run replays, or "" for none.
    std::string firstGhostFile() {
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
        LiveRunMain live;
        scene_test::playFrame(live, {});
        return live.ghost() ? live.ghost()->game().settingsOverride.replayFile : "";
    }

    // The results' world rank, told by its amber, wherever the screen shake has moved it.
    static std::string rankLine(LiveRunMain& live) {
        kiln_headless::clearDrawCalls();
        live.draw();
        for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
            if (call.kind == KilnDrawCall::GLYPH && call.r == 255 && call.g == 224 && call.b == 64) {
                return textAt(call.y).text;
            }
        }
        return "";
    }
};

struct TitleLineCase {
    world::Reach reach;
    bool answered;
    world::WorldStanding standing;
    const char* line;
    bool worldTableOpens;
};

TEST_F(WorldScenes, TheTitleShowsTheWorldLineForEachReachAndWOpensTheTable) {
    const world::WorldStanding ranked{.rank = 12, .entries = 340, .bestScore = 99500, .bestPlayer = "ACE"};
    const world::WorldStanding unranked{.rank = 0, .entries = 5, .bestScore = 800, .bestPlayer = "Bo"};
    const TitleLineCase cases[] = {
        {world::Reach::Off, true, ranked, "", false},
        {world::Reach::NoServer, true, ranked, "", false},
        {world::Reach::Joining, false, ranked, "", true},
        {world::Reach::Online, false, ranked, "", true},
        {world::Reach::Online, true, ranked, "WORLD #12 OF 340  BEST 99500 ACE", true},
        {world::Reach::Online, true, unranked, "WORLD UNRANKED OF 5  BEST 800 Bo", true},
        {world::Reach::Online, true, {}, "WORLD: NO RUNS YET", true},
        {world::Reach::Offline, true, ranked, "WORLD: OFFLINE", true},
    };
    writeConfig("");
    for (const TitleLineCase& c : cases) {
        world->reachNow = c.reach;
        world->standings.clear();
        if (c.answered) world->standings[0] = c.standing;
        TitleMain title;
        kiln_headless::clearDrawCalls();
        title.draw();
        EXPECT_EQ(textAt(66).text, c.line);
        if (c.line[0] != '\0') {
            EXPECT_EQ(textAt(66).x, 300.0f);
        }
        tap(title, {KEY_w});
        EXPECT_EQ(title.getMessage(), c.worldTableOpens ? MSG_WORLD_TABLE : MSG_NONE) << c.line;
    }
    world->refreshed.clear();
    TitleMain title;
    tap(title, {KEY_RIGHT});
    tap(title, {KEY_RIGHT});
    EXPECT_EQ(world->refreshed, (std::vector<int>{0, 1, 2})) << "asked again for each stage shown";
}

TEST_F(WorldScenes, TheTableListsTheTopAndThePlayersPartAndWatchPlaysTheEntryInTheTheatre) {
    writeConfig("");
    world::WorldTable table;
    for (int rank = 1; rank <= 10; ++rank) table.top.push_back(entry(rank, "P" + std::to_string(rank), 10000 - rank));
    table.around = {entry(10, "P10", 9990), entry(11, "Me", 9000), entry(12, "P12", 8000)};
    table.entries = 40;
    world->tables[0] = table;
    world->registeredName = "Me";
    const world::CachedReplay replay = cacheReplay(table.around[1], "stage0.bin");
    world->fetchable[replay.runId] = replay;

    WorldTableMain screen;
    EXPECT_EQ(world->refreshed, std::vector<int>{0});
    std::vector<std::string> shown;
    for (const world::WorldEntry& row : screen.rows()) shown.push_back(row.player);
    EXPECT_EQ(shown, (std::vector<std::string>{"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10", "Me",
                                               "P12"}))
        << "a row the top shows is not shown twice";
    kiln_headless::clearDrawCalls();
    screen.draw();
    EXPECT_EQ(textAt(static_cast<float>(WorldTableMain::rowTop(0))).text, "#1    P1             9999");

    for (int i = 0; i < 10; ++i) tap(screen, {KEY_DOWN});
    ASSERT_EQ(screen.selectedRow(), 10);
    tap(screen, {KEY_z});
    ASSERT_TRUE(screen.isOffering());
    tap(screen, {KEY_RIGHT});
    EXPECT_EQ(screen.selectedOffer(), WorldTableMain::OFFER_RACE);
    tap(screen, {KEY_LEFT});
    tap(screen, {KEY_z});
    EXPECT_EQ(world->fetched, std::vector<std::string>{"run11"});
    ASSERT_EQ(screen.waitingFor(), WorldTableMain::OFFER_WATCH);
    tap(screen, {});
    ASSERT_EQ(screen.getMessage(), MSG_THEATRE) << "the replay reached the cache";

    std::optional<WatchRequest> request = takeWatchRequest();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->replayFile, replay.path);
    EXPECT_EQ(request->stage, 0);
    TheatreMain theatre(*request);
    ASSERT_NE(theatre.watchedRun(), nullptr);
    theatre.update();
    kiln_headless::clearDrawCalls();
    theatre.draw();
    EXPECT_EQ(textAt(THEATRE_CAPTION_Y).text, "WORLD #11 Me") << "the theatre names whose run it is";
}

TEST_F(WorldScenes, RaceMakesTheEntryTheNextRunsGhostOnceAndBGoesBack) {
    writeConfig("GHOST = 0\n");
    world::WorldTable table;
    table.top = {entry(1, "ACE", 99500)};
    world->tables[0] = table;
    const world::CachedReplay replay = cacheReplay(table.top[0], "stage0_autopilot.bin");

    WorldTableMain screen;
    tap(screen, {KEY_RETURN});
    tap(screen, {KEY_RIGHT});
    tap(screen, {KEY_RETURN});
    ASSERT_EQ(screen.waitingFor(), WorldTableMain::OFFER_RACE) << "not fetched yet";
    world->reachNow = world::Reach::Offline;
    tap(screen, {});
    EXPECT_EQ(screen.notice(), "WORLD: OFFLINE") << "the wait ends quietly";
    world->reachNow = world::Reach::Online;
    world->cache[replay.runId] = replay;
    tap(screen, {KEY_RETURN});
    tap(screen, {KEY_RIGHT});
    tap(screen, {KEY_RETURN});
    EXPECT_EQ(screen.getMessage(), MSG_GAME) << "in the cache already: the run starts at once";

    EXPECT_EQ(firstGhostFile(), replay.path) << "raced although GHOST = 0";
    EXPECT_EQ(firstGhostFile(), "") << "for the next run only";

    WorldTableMain again;
    tap(again, {KEY_x});
    EXPECT_EQ(again.getMessage(), MSG_TITLE);
}

struct WorldGhostCase {
    const char* setting;
    bool answered;
    bool cached;
    const char* ghost;  // "world", "own" or "none"
    bool fetched;
};

TEST_F(WorldScenes, NextAndWorldRaceTheWorldsRunWhenCachedAndTheOwnBestUntilThen) {
    const WorldGhostCase cases[] = {
        {"WORLD", true, true, "world", false},  {"NEXT", true, true, "world", false},
        {"WORLD", true, false, "own", true},    {"NEXT", true, false, "own", true},
        {"WORLD", false, false, "own", false},  {"1", true, true, "own", false},
        {"0", true, true, "none", false},
    };
    std::filesystem::create_directories("replay");
    std::filesystem::copy_file(benchReplay("stage0.bin"), stageReplayFile(0));
    for (const WorldGhostCase& c : cases) {
        writeConfig(std::string("GHOST = ") + c.setting + "\n");
        const world::WorldEntry next = entry(4, "Next", 5000), top = entry(1, "Top", 9000);
        world->above.clear();
        world->best.clear();
        world->cache.clear();
        world->fetched.clear();
        if (c.answered) {
            world->above[0] = next;
            world->best[0] = top;
        }
        const world::WorldEntry& raced = std::string(c.setting) == "NEXT" ? next : top;
        const world::CachedReplay replay = cacheReplay(raced, "stage0_autopilot.bin");
        if (c.cached) world->cache[raced.runId] = replay;

        const std::string expected =
            std::string(c.ghost) == "world" ? replay.path : std::string(c.ghost) == "own" ? stageReplayFile(0) : "";
        EXPECT_EQ(firstGhostFile(), expected) << c.setting << (c.cached ? " cached" : "");
        EXPECT_EQ(world->fetched, c.fetched ? std::vector<std::string>{raced.runId} : std::vector<std::string>{})
            << c.setting;
    }
}

TEST_F(WorldScenes, TheTitleAsksOnceForTheWorldRunItsGhostSettingRaces) {
    writeConfig("GHOST = WORLD\n");
    TitleMain title;
    for (int i = 0; i < 3; ++i) tap(title, {});
    EXPECT_TRUE(world->fetched.empty()) << "no answer yet";
    world->best[0] = entry(1, "Top", 9000);
    for (int i = 0; i < 3; ++i) tap(title, {});
    EXPECT_EQ(world->fetched, std::vector<std::string>{"run1"});
}

struct LiveRunCase {
    world::Reach reach;
    int hiScore;
    int begun;
    int sent;
};

TEST_F(WorldScenes, ALiveRunTellsTheWorldOfItsCountdownAndSendsOnlyARecord) {
    const LiveRunCase cases[] = {
        {world::Reach::Online, 0, 1, 1},
        {world::Reach::Online, 99999999, 1, 0},
        {world::Reach::Offline, 0, 1, 1},  // kept in the outbox until the world answers
        {world::Reach::Off, 0, 0, 0},
    };
    for (const LiveRunCase& c : cases) {
        std::filesystem::remove_all("replay");
        writeConfig("GHOST = 0\n", c.hiScore);
        world->reachNow = c.reach;
        world->begun.clear();
        world->sent.clear();
        world->recordRank.reset();
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
        LiveRunMain live;
        scene_test::playFrame(live, {});
        EXPECT_EQ(static_cast<int>(world->begun.size()), c.begun) << "as the countdown begins";
        for (int i = 0; i < 40000 && live.phase != GameMain::RESULTS; ++i) scene_test::playFrame(live, {});
        ASSERT_EQ(live.phase, GameMain::RESULTS);
        for (int i = 0; i < 10; ++i) scene_test::playFrame(live, {});
        EXPECT_EQ(static_cast<int>(world->begun.size()), c.begun);
        ASSERT_EQ(static_cast<int>(world->sent.size()), c.sent) << "hi-score " << c.hiScore;
        if (c.sent == 0) continue;
        EXPECT_EQ(world->sent[0], std::make_pair(0, stageReplayFile(0)));
        EXPECT_EQ(readFile(stageReplayFile(0)).empty(), false);

        EXPECT_EQ(rankLine(live), "") << "no rank before the world answers";
        world->recordRank = 7;
        EXPECT_EQ(rankLine(live), "WORLD #7");
    }
}

}  // namespace
