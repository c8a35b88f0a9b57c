// The options screen's ONLINE and NAME rows against a world that answers as
// the test says: what the ONLINE row shows and does for each reach, the name
// screen's typing, its grid and its refusals, a taken name asked again, and
// an accepted one saved beside the records.
#include "config/options_settings.h"
#include "fake_world_service.h"
#include "state/options_main.h"

namespace {

const std::string RECORDS = "HI_SCORE1 = 100\nHI_SCORE2 = 2000\nHI_SCORE3 = 4500\nHI_SCORE4 = 99999\nMODE = 2\n";
constexpr int kLeftShift = 304;

class OnlineOptions : public HeadlessWorldScene {
protected:
    void TearDown() override {
        options.reset();
        HeadlessWorldScene::TearDown();
    }

    void open(const std::string& settings) {
        writeFile("config.ini", RECORDS + settings);
        options = std::make_unique<OptionsMain>();
        options->update();
    }

    void press(std::initializer_list<int> keys) { tap(*options, keys); }

    void typeText(const std::string& text) {
        for (char c : text) press({static_cast<int>(c)});
    }

    void selectRow(int row) {
        while (options->getSelectedRow() != row) press({KEY_UP});
    }

    std::string shownValue(int row) {
        kiln_headless::clearDrawCalls();
        options->draw();
        const std::string line = textAt(static_cast<float>(OptionsMain::rowTop(row))).text;
        return line.size() > 17 ? line.substr(17) : "";
    }

    OptionsSettings saved() {
        ConfigParser config;
        loadPlayerConfig(config, 0);
        std::vector<std::string> problems;
        return readOptionsSettings(config, Kiln_bindableKeyName, problems);
    }

    const NameEntry& entry() const { return *options->nameEntry(); }

    std::unique_ptr<OptionsMain> options;
};

struct OnlineRowCase {
    world::Reach reach;
    const char* settings;
    const char* shown;
    bool nameScreenOpens;  // and stays open, waiting for a name
    std::vector<std::string> registered;
    int turnedOff;
    bool onlineAfter;
};

TEST_F(OnlineOptions, TheOnlineRowShowsAndDoesWhatTheWorldAllows) {
    const OnlineRowCase cases[] = {
        {world::Reach::NoServer, "", "NO SERVER SET", false, {}, 0, false},
        {world::Reach::NoServer, "ONLINE = 1\nPLAYER_NAME = Ace\n", "NO SERVER SET", false, {}, 0, true},
        {world::Reach::Off, "", "OFF", true, {}, 0, false},
        {world::Reach::Off, "ONLINE = 0\nPLAYER_NAME = Ace\n", "OFF", false, {"Ace"}, 0, true},
        {world::Reach::Online, "ONLINE = 1\nPLAYER_NAME = Ace\n", "ON", false, {}, 1, false},
    };
    for (const OnlineRowCase& c : cases) {
        world->reachNow = c.reach;
        world->registered.clear();
        world->turnedOff = 0;
        open(c.settings);
        selectRow(ROW_ONLINE);
        EXPECT_EQ(shownValue(ROW_ONLINE), c.shown) << c.settings;
        press({KEY_z});
        press({});  // the world's answer is read in the next frame
        EXPECT_EQ(options->nameEntry() != nullptr, c.nameScreenOpens) << c.shown << " " << c.settings;
        EXPECT_EQ(world->registered, c.registered) << c.settings;
        EXPECT_EQ(world->turnedOff, c.turnedOff) << c.settings;
        EXPECT_EQ(saved().online, c.onlineAfter) << c.shown << " " << c.settings;
        if (c.reach == world::Reach::NoServer) {
            EXPECT_EQ(options->getNotice(), "NO SERVER SET");
        }
        EXPECT_EQ(saved().playerName, std::string(c.settings).empty() ? "" : "Ace") << "a name is never dropped";
        options.reset();
    }
}

TEST_F(OnlineOptions, TheNameScreenTypesDeletesAndRefusesWhatANameCannotHold) {
    open("");
    selectRow(ROW_NAME);
    press({KEY_z});
    ASSERT_NE(options->nameEntry(), nullptr);
    EXPECT_TRUE(Kiln_isTypingKeptForScene());

    setKey(kLeftShift, true);
    typeText("a");
    setKey(kLeftShift, false);
    typeText("cz");  // Z is the A button's key, and here it types
    press({KEY_BACKSPACE});
    typeText("e.9-m");
    EXPECT_EQ(entry().name(), "Ace.9-m");
    EXPECT_FALSE(Kiln_isMuted()) << "M typed a letter";

    for (int refused : {int{KEY_F1}, int{'_'}, int{'/'}, int{','}}) {
        press({refused});
        EXPECT_EQ(entry().name(), "Ace.9-m") << "key " << refused;
    }
    EXPECT_EQ(entry().notice(), "A NAME HOLDS A-Z a-z 0-9 - . ONLY");

    typeText("QQQQQ");
    EXPECT_EQ(entry().name(), "Ace.9-mQQQQQ");
    typeText("R");
    EXPECT_EQ(entry().name(), "Ace.9-mQQQQQ") << "twelve letters at most";
    EXPECT_EQ(entry().notice(), "12 LETTERS AT MOST");

    // The grid: the mouse clicks DELETE, then a letter.
    const NameEntry::CellBox del = NameEntry::cellBox(NameEntry::ACTION_DELETE, NameEntry::NAME_GRID_LETTER_ROWS);
    kiln_headless::setMouse(del.x + 4, del.y + 4, 1);
    press({});
    kiln_headless::setMouse(del.x + 4, del.y + 4, 0);
    press({});
    EXPECT_EQ(entry().name(), "Ace.9-mQQQQ");
    const NameEntry::CellBox b = NameEntry::cellBox(11, 1);  // "QRSTUVWXYZabcdef": the twelfth is 'b'
    kiln_headless::setMouse(b.x + 4, b.y + 4, 1);
    press({});
    EXPECT_EQ(entry().name(), "Ace.9-mQQQQb");

    // Escape leaves without registering and does not quit the game.
    press({KEY_ESCAPE});
    EXPECT_EQ(options->nameEntry(), nullptr);
    EXPECT_TRUE(world->registered.empty());
    EXPECT_FALSE(Kiln_isTypingKeptForScene());
    EXPECT_EQ(options->getMessage(), MSG_NONE);
}

TEST_F(OnlineOptions, ATakenNameIsAskedAgainAndTheAcceptedOneIsSavedOnline) {
    world->nameAnswers = {world::NameAnswer::Taken, world::NameAnswer::Accepted};
    world->refusal = "Ace IS TAKEN";
    open("");
    selectRow(ROW_ONLINE);
    press({KEY_RETURN});
    ASSERT_NE(options->nameEntry(), nullptr) << "ONLINE without a name asks for one";
    press({KEY_RETURN});
    EXPECT_TRUE(world->registered.empty()) << "an empty name is not sent";
    EXPECT_EQ(entry().notice(), "TYPE A NAME FIRST");

    typeText("Ace");
    press({KEY_RETURN});
    press({});
    EXPECT_EQ(world->registered, std::vector<std::string>{"Ace"});
    ASSERT_NE(options->nameEntry(), nullptr);
    EXPECT_FALSE(entry().isWaiting()) << "the answer came: asked again";
    EXPECT_EQ(entry().notice(), "Ace IS TAKEN");
    EXPECT_FALSE(saved().online);

    // A controller picks the next letter: down to the digits' row, right to '2', A.
    const int pad = kiln_headless::connectController("Pad", true);
    Kiln_waitFrame(16);
    Kiln_waitFrame(16);
    auto tapPad = [&](KilnControllerInput input) {
        kiln_headless::setControllerInput(pad, input, true);
        Kiln_waitFrame(16);
        options->update();
        kiln_headless::setControllerInput(pad, input, false);
        Kiln_waitFrame(16);
    };
    for (int i = 0; i < 3; ++i) tapPad(CONTROLLER_DPAD_DOWN);
    for (int i = 0; i < 6; ++i) tapPad(CONTROLLER_DPAD_RIGHT);  // "wxyz0123...": the seventh is '2'
    tapPad(CONTROLLER_SOUTH);
    EXPECT_EQ(entry().name(), "Ace2");
    tapPad(CONTROLLER_START);
    EXPECT_EQ(world->registered, (std::vector<std::string>{"Ace", "Ace2"}));
    press({});
    EXPECT_EQ(options->nameEntry(), nullptr) << "accepted";
    EXPECT_EQ(options->getNotice(), "ONLINE AS Ace2");
    EXPECT_NE(readFile("config.ini").find("ONLINE = 1\n"), std::string::npos);
    EXPECT_NE(readFile("config.ini").find("PLAYER_NAME = Ace2\n"), std::string::npos);
    EXPECT_EQ(readFile("config.ini").substr(0, RECORDS.size()), RECORDS);
    EXPECT_EQ(shownValue(ROW_ONLINE), "ON");
    EXPECT_EQ(shownValue(ROW_NAME), "Ace2");
}

TEST_F(OnlineOptions, NoAnswerWaitsAndAnOfflineWorldSaysSoWithOnlineStillOff) {
    world->nameAnswers = {world::NameAnswer::Pending};
    open("PLAYER_NAME = Ace\n");
    selectRow(ROW_ONLINE);
    press({KEY_z});
    for (int i = 0; i < 5; ++i) press({});
    ASSERT_NE(options->nameEntry(), nullptr);
    EXPECT_TRUE(entry().isWaiting());
    world->answer = world::NameAnswer::Offline;
    press({});
    EXPECT_EQ(options->nameEntry(), nullptr);
    EXPECT_EQ(options->getNotice(), "WORLD: OFFLINE");
    EXPECT_FALSE(saved().online);
    EXPECT_EQ(world->turnedOff, 1) << "the world stays off with ONLINE";

    // Escape while the answer is awaited gives up joining: the world is turned off again.
    world->nameAnswers = {world::NameAnswer::Pending};
    selectRow(ROW_ONLINE);
    press({KEY_z});
    press({});
    ASSERT_NE(options->nameEntry(), nullptr);
    press({KEY_ESCAPE});
    EXPECT_EQ(options->nameEntry(), nullptr);
    EXPECT_EQ(world->turnedOff, 2);
    EXPECT_FALSE(saved().online);
}

TEST_F(OnlineOptions, RestoringTheDefaultsKeepsThePlayersNameAndOnline) {
    open("ONLINE = 1\nPLAYER_NAME = Ace\nGHOST = WORLD\nMUSIC_VOLUME = 3\n");
    selectRow(ROW_RESTORE_DEFAULTS);
    press({KEY_z});
    EXPECT_EQ(saved().ghost, GhostSetting::OwnBest);
    EXPECT_EQ(saved().musicVolume, 10);
    EXPECT_TRUE(saved().online);
    EXPECT_EQ(saved().playerName, "Ace");
    EXPECT_EQ(world->turnedOff, 0);
}

}  // namespace
