// The options screen on the headless backend: its rows, moving and changing
// them, levels reaching the mixer, the wait for a key with its refusals and
// Escape, the mouse, and leaving with the settings saved beside the records.
#include <functional>

#include "config/options_settings.h"
#include "config/player_files.h"
#include "headless_scene.h"
#include "state/options_main.h"
#include "state/title_main.h"

namespace {

const std::string RECORDS = "HI_SCORE1 = 100\nHI_SCORE2 = 2000\nHI_SCORE3 = 4500\nHI_SCORE4 = 99999\nMODE = 2\n";

class OptionsMainTest : public HeadlessScene {
protected:
    void SetUp() override {
        HeadlessScene::SetUp();
        writeFile("config.ini", RECORDS);
        options = std::make_unique<OptionsMain>();
        options->update();  // the first frame: music and the sample effect
    }

    void TearDown() override {
        options.reset();
        HeadlessScene::TearDown();
    }

    // One frame of the screen with keys tapped: down in this frame's snapshot, released before the next.
    void press(std::initializer_list<int> keys) {
        for (int key : keys) setKey(key, true);
        Kiln_waitFrame(16);
        options->update();
        for (int key : keys) setKey(key, false);
        Kiln_waitFrame(16);
    }

    void pressTimes(int key, int times) {
        for (int i = 0; i < times; ++i) press({key});
    }

    void selectRow(int row) {
        while (options->getSelectedRow() != row) press({KEY_DOWN});
    }

    void drawOptions() {
        kiln_headless::clearDrawCalls();
        options->draw();
    }

    static std::vector<KilnSoundEvent> soundsOf(KilnSoundEvent::Kind kind) {
        std::vector<KilnSoundEvent> found;
        for (const KilnSoundEvent& event : kiln_headless::soundEvents()) {
            if (event.kind == kind) found.push_back(event);
        }
        return found;
    }

    OptionsSettings savedOptions() {
        ConfigParser config;
        loadPlayerConfig(config, 0);
        std::vector<std::string> problems;
        return readOptionsSettings(config, Kiln_bindableKeyName, problems);
    }

    // A row as drawn: its label at x 80, its value at x 360, in 16-pixel glyphs.
    static std::string rowLine(const std::string& label, const std::string& value) {
        return label + std::string(360 / 16 - 5 - label.size(), ' ') + value;
    }

    std::unique_ptr<OptionsMain> options;
};

TEST_F(OptionsMainTest, ShowsEveryRowWithItsDefaultAndPlaysTheMusic) {
    drawOptions();
    const char* const expected[OPTIONS_ROW_COUNT] = {
        "MUSIC", "EFFECTS", "MUTE", "PICTURE", "FULL SCREEN", "KEY UP", "KEY DOWN", "KEY LEFT", "KEY RIGHT",
        "KEY A", "KEY B", "CONTROLLER A", "GHOST", "ONLINE", "NAME", "RESTORE DEFAULTS", "BACK"};
    const char* const values[OPTIONS_ROW_COUNT] = {"10",   "10", "OFF",   "SMOOTH",   "OFF", "UP", "DOWN", "LEFT", "RIGHT",
                                                    "Z",    "X",  "SOUTH", "OWN BEST", "OFF", "-",  "",     ""};
    for (int row = 0; row < OPTIONS_ROW_COUNT; ++row) {
        std::string line = expected[row];
        if (values[row][0] != '\0') line += std::string(360 / 16 - 5 - line.size(), ' ') + values[row];
        EXPECT_EQ(textAt(static_cast<float>(OptionsMain::rowTop(row))).text, line) << "row " << row;
    }
    EXPECT_EQ(textAt(20).text, "OPTIONS");
    ASSERT_FALSE(soundsOf(KilnSoundEvent::PLAY_BGM).empty()) << "the music plays so its level can be judged";
    EXPECT_EQ(soundsOf(KilnSoundEvent::PLAY_BGM).back().value, -1) << "looping";
}

TEST_F(OptionsMainTest, UpAndDownMoveAndGoRound) {
    EXPECT_EQ(options->getSelectedRow(), ROW_MUSIC);
    press({KEY_UP});
    EXPECT_EQ(options->getSelectedRow(), ROW_BACK);
    press({KEY_DOWN});
    press({KEY_DOWN});
    EXPECT_EQ(options->getSelectedRow(), ROW_EFFECTS);
}

TEST_F(OptionsMainTest, MusicLevelsReachTheMixerAtOnce) {
    pressTimes(KEY_LEFT, 8);
    EXPECT_EQ(Kiln_getMusicVolume(), 2);
    EXPECT_EQ(soundsOf(KilnSoundEvent::MUSIC_VOLUME).back().value, 2 * 128 / 10);
    pressTimes(KEY_LEFT, 3);
    EXPECT_EQ(Kiln_getMusicVolume(), 0) << "no level below 0";
    pressTimes(KEY_RIGHT, 12);
    EXPECT_EQ(Kiln_getMusicVolume(), 10) << "none above 10";
    press({KEY_z});
    EXPECT_EQ(Kiln_getMusicVolume(), 0) << "A goes round from 10 to 0";
}

TEST_F(OptionsMainTest, AnEffectPlaysAtItsNewLevel) {
    selectRow(ROW_EFFECTS);
    kiln_headless::clearSoundEvents();
    press({KEY_LEFT});
    const auto& heard = kiln_headless::soundEvents();
    ASSERT_GE(heard.size(), 2u);
    EXPECT_EQ(heard.back().kind, KilnSoundEvent::PLAY_WAV) << "heard after the level changed";
    EXPECT_EQ(heard.back().name, "itemget");
    EXPECT_EQ(soundsOf(KilnSoundEvent::EFFECTS_VOLUME).back().value, 9 * 128 / 10);
    EXPECT_EQ(soundsOf(KilnSoundEvent::PLAY_WAV).size(), 1u);
}

TEST_F(OptionsMainTest, TwoWayRowsFlipAndTakeEffect) {
    selectRow(ROW_MUTE);
    press({KEY_RETURN});
    EXPECT_TRUE(Kiln_isMuted()) << "Return chooses here";
    EXPECT_EQ(options->getMessage(), MSG_NONE) << "and does not go back as B's second key";
    selectRow(ROW_PICTURE);
    press({KEY_RIGHT});
    EXPECT_EQ(Kiln_getPictureScaling(), PICTURE_INTEGER);
    selectRow(ROW_FULL_SCREEN);
    press({KEY_z});
    EXPECT_TRUE(Kiln_isFullScreen());
    selectRow(ROW_CONTROLLER_A);
    press({KEY_z});
    EXPECT_EQ(Kiln_getControllerFaceA(), FACE_EAST);
    selectRow(ROW_GHOST);
    press({KEY_z});
    EXPECT_EQ(options->getOptions().ghost, GhostSetting::NextAbove);
}

struct GhostStep {
    int key;
    GhostSetting after;
    const char* shown;
    const char* saved;
};

TEST_F(OptionsMainTest, TheGhostRowGoesRoundItsFourRunsAndSavesEach) {
    const GhostStep steps[] = {
        {KEY_RIGHT, GhostSetting::NextAbove, "NEXT", "NEXT"}, {KEY_RIGHT, GhostSetting::WorldBest, "WORLD", "WORLD"},
        {KEY_RIGHT, GhostSetting::Off, "OFF", "0"},           {KEY_z, GhostSetting::OwnBest, "OWN BEST", "1"},
        {KEY_LEFT, GhostSetting::Off, "OFF", "0"},            {KEY_LEFT, GhostSetting::WorldBest, "WORLD", "WORLD"},
    };
    selectRow(ROW_GHOST);
    for (const GhostStep& step : steps) {
        press({step.key});
        EXPECT_EQ(options->getOptions().ghost, step.after) << step.shown;
        drawOptions();
        EXPECT_EQ(textAt(static_cast<float>(OptionsMain::rowTop(ROW_GHOST))).text, rowLine("GHOST", step.shown));
        EXPECT_NE(readFile("config.ini").find(std::string("GHOST = ") + step.saved + "\n"), std::string::npos)
            << step.shown;
    }
}

TEST_F(OptionsMainTest, ChoosingAKeyRowWaitsForTheNextKeyAndBindsIt) {
    selectRow(ROW_KEY_UP);
    press({KEY_z});
    EXPECT_EQ(options->getWaitingButton(), BOUND_UP);
    EXPECT_EQ(options->getNotice(), "PRESS A KEY FOR UP (ESCAPE CANCELS)");
    press({KEY_DOWN});
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_UP) << "refused: DOWN is taken";
    EXPECT_EQ(options->getNotice(), "DOWN IS TAKEN BY DOWN");
    EXPECT_EQ(options->getWaitingButton(), BOUND_UP) << "a refusal keeps waiting";
    EXPECT_EQ(options->getSelectedRow(), ROW_KEY_UP) << "the key pressed for the wait moves nothing";
    // W is held a few frames, as a person presses a key: once bound it is UP,
    // but the press that chose it must not move the selection up as well.
    setKey(KEY_w, true);
    for (int i = 0; i < 4; ++i) {
        Kiln_waitFrame(16);
        options->update();
    }
    setKey(KEY_w, false);
    Kiln_waitFrame(16);
    options->update();
    EXPECT_EQ(options->getWaitingButton(), -1);
    EXPECT_EQ(Kiln_getBoundKey(PAD_UP), KEY_w);
    EXPECT_EQ(options->getSelectedRow(), ROW_KEY_UP);
    EXPECT_EQ(options->getNotice(), "UP IS NOW W");
    drawOptions();
    EXPECT_EQ(textAt(static_cast<float>(OptionsMain::rowTop(ROW_KEY_UP))).text, std::string("KEY UP") + std::string(11, ' ') + "W");
}

TEST_F(OptionsMainTest, KeysOfOtherButtonsAndKeysWithTheirOwnJobsAreRefusedOnScreen) {
    selectRow(ROW_KEY_A);
    press({KEY_z});
    press({KEY_x});
    EXPECT_EQ(options->getNotice(), "X IS TAKEN BY B");
    press({KEY_m});
    EXPECT_EQ(options->getNotice(), "M HAS A JOB OF ITS OWN");
    EXPECT_TRUE(Kiln_isMuted()) << "and M still mutes";
    press({KEY_F10});
    EXPECT_EQ(options->getNotice(), "F10 HAS A JOB OF ITS OWN");
    press({'#'});
    EXPECT_EQ(options->getNotice(), "# CANNOT BE SAVED");
    EXPECT_EQ(options->getWaitingButton(), BOUND_A) << "still waiting after every refusal";
    press({KEY_ESCAPE});
    EXPECT_EQ(options->getWaitingButton(), -1);
    EXPECT_EQ(Kiln_getBoundKey(PAD_A), KEY_z);
    EXPECT_EQ(options->getOptions().keys[BOUND_A], "Z");
}

TEST_F(OptionsMainTest, EscapeCancelsTheWaitWithoutQuittingEvenWhenHeld) {
    selectRow(ROW_KEY_B);
    press({KEY_z});
    setKey(KEY_ESCAPE, true);
    for (int i = 0; i < 5; ++i) {
        ASSERT_NO_THROW(Kiln_waitFrame(16)) << "frame " << i;
        options->update();
    }
    EXPECT_EQ(options->getWaitingButton(), -1);
    EXPECT_EQ(Kiln_getBoundKey(PAD_B), KEY_x);
    setKey(KEY_ESCAPE, false);
    Kiln_waitFrame(16);
    options->update();
    setKey(KEY_ESCAPE, true);
    EXPECT_THROW(Kiln_waitFrame(16), KilnQuit) << "Escape quits again once the wait is over";
}

TEST_F(OptionsMainTest, BackSavesTheOptionsBesideTheRecords) {
    pressTimes(KEY_LEFT, 8);
    selectRow(ROW_BACK);
    press({KEY_z});
    EXPECT_EQ(options->getMessage(), MSG_TITLE);
    const std::string saved = readFile("config.ini");
    EXPECT_EQ(saved.substr(0, RECORDS.size()), RECORDS);
    EXPECT_EQ(savedOptions().musicVolume, 2);
    EXPECT_FALSE(Kiln_isEscapeKeptForScene());
}

TEST_F(OptionsMainTest, EachChangeIsOnDiskAtOnceSoQuittingHereKeepsIt) {
    struct Case {
        int row, key;
        const char* what;
        std::function<bool(const OptionsSettings&)> changed;
    };
    const Case cases[] = {
        {ROW_MUSIC, KEY_LEFT, "music", [](const OptionsSettings& o) { return o.musicVolume == 9; }},
        {ROW_EFFECTS, KEY_LEFT, "effects", [](const OptionsSettings& o) { return o.effectsVolume == 9; }},
        {ROW_MUTE, KEY_RETURN, "mute", [](const OptionsSettings& o) { return o.muted; }},
        {ROW_PICTURE, KEY_RIGHT, "picture",
         [](const OptionsSettings& o) { return o.picture == PictureSetting::Integer; }},
        {ROW_FULL_SCREEN, KEY_z, "full screen", [](const OptionsSettings& o) { return o.fullScreen; }},
        {ROW_CONTROLLER_A, KEY_z, "controller A",
         [](const OptionsSettings& o) { return o.controllerA == ControllerFaceSetting::East; }},
        {ROW_GHOST, KEY_z, "ghost", [](const OptionsSettings& o) { return o.ghost != GhostSetting::OwnBest; }},
    };
    for (const Case& c : cases) {
        selectRow(c.row);
        EXPECT_FALSE(c.changed(savedOptions())) << c.what << " before";
        press({c.key});
        EXPECT_TRUE(c.changed(savedOptions())) << c.what << " on disk";
    }
    selectRow(ROW_KEY_RIGHT);
    press({KEY_z});
    press({'d'});
    EXPECT_EQ(savedOptions().keys[BOUND_RIGHT], "D");
    EXPECT_EQ(readFile("config.ini").substr(0, RECORDS.size()), RECORDS);
    EXPECT_EQ(options->getMessage(), MSG_NONE);
}

TEST_F(OptionsMainTest, MovingAloneWritesNothing) {
    const std::string before = readFile("config.ini");
    pressTimes(KEY_DOWN, 3);
    EXPECT_EQ(readFile("config.ini"), before);
}

TEST_F(OptionsMainTest, BReturnsToTheTitleAndSaves) {
    selectRow(ROW_GHOST);
    press({KEY_z});
    press({KEY_x});
    EXPECT_EQ(options->getMessage(), MSG_TITLE);
    EXPECT_EQ(savedOptions().ghost, GhostSetting::NextAbove);
}

TEST_F(OptionsMainTest, RestoreDefaultsPutsEverythingBack) {
    pressTimes(KEY_LEFT, 3);
    selectRow(ROW_KEY_LEFT);
    press({KEY_z});
    press({'a'});
    selectRow(ROW_RESTORE_DEFAULTS);
    press({KEY_z});
    EXPECT_EQ(options->getOptions(), OptionsSettings{});
    EXPECT_EQ(Kiln_getMusicVolume(), 10);
    EXPECT_EQ(Kiln_getBoundKey(PAD_LEFT), KEY_LEFT);
    EXPECT_EQ(options->getNotice(), "DEFAULTS RESTORED");
}

TEST_F(OptionsMainTest, TheMouseSelectsTheRowItMovesOverAndClicksChoose) {
    const int ghostY = OptionsMain::rowTop(ROW_GHOST) + 4;
    kiln_headless::setMouse(200, ghostY, 0);
    press({});
    EXPECT_EQ(options->getSelectedRow(), ROW_GHOST);
    press({KEY_DOWN});
    EXPECT_EQ(options->getSelectedRow(), ROW_ONLINE) << "a resting pointer does not overrule the keys";
    kiln_headless::setMouse(200, OptionsMain::rowTop(ROW_BACK) + 4, 1);
    press({});
    EXPECT_EQ(options->getMessage(), MSG_TITLE);
}

TEST_F(OptionsMainTest, TheSceneMachineOpensTheOptionsFromTheTitlesMessage) {
    setFirstScene([]() -> std::unique_ptr<GameState> { return std::make_unique<TitleMain>(); });
    frame();
    setKey(KEY_o, true);
    frame();
    setKey(KEY_o, false);
    frame();
    frame();
    EXPECT_NE(dynamic_cast<OptionsMain*>(currentSceneForTest()), nullptr);
}

}  // namespace
