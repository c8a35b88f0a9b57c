// The options screen's input, the wait for a key to bind, drawing and saving.
#include "state/options_main.h"

#include <cctype>
#include <memory>
#include <vector>

#include "config/player_files.h"
#include "gamecore/run_music.h"
#include "kiln2/kiln2.h"
#include "state/applied_options.h"
#include "world/world_service.h"

namespace {

// A missing config.ini is recreated with the first stage selected, as the title does.
constexpr int kDefaultStage = 0;

// Layout: the heading, then the rows, then the notice and the help line.
constexpr int kHeadingY = 20;
constexpr int kFirstRowY = 70;
constexpr int kRowStep = 21;
constexpr int kRowLeft = 64;
constexpr int kRowWidth = 512;
constexpr int kLabelX = 80;
constexpr int kValueX = 360;
constexpr int kNoticeY = 436;
constexpr int kHelpY = 458;
constexpr float kTextScale = 2.0f;
constexpr int kGlyphSize = 16;

// The sound the effects level is heard with.
constexpr const char* kSampleEffect = "itemget";

const char* const BUTTON_NAMES[BOUND_BUTTON_COUNT] = {"UP", "DOWN", "LEFT", "RIGHT", "A", "B"};

void drawText(const std::string& text, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    Kiln_drawText(text, x, y, kTextScale, r, g, b, 255);
}

std::string capitalName(int key) {
    std::string name = Kiln_keyName(key);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

int rowNamed(const std::string& name) {
    for (int row = 0; row < OPTIONS_ROW_COUNT; ++row) {
        if (name == optionsRowLabel(row)) return row;
    }
    return -1;
}

}  // namespace

int OptionsMain::rowTop(int row) { return kFirstRowY + row * kRowStep; }

OptionsMain::OptionsMain() {
    Kiln_log("OptionsMain\n");
    setMessage(MSG_NONE);
    // Bad values were logged at start-up and have been in force since; only the settings matter here.
    ConfigParser config;
    std::vector<std::string> problems = loadPlayerConfig(config, kDefaultStage);
    options_ = readOptionsSettings(config, Kiln_bindableKeyName, problems);
    for (int row = 0; row < OPTIONS_ROW_COUNT; ++row) {
        // One pixel short of the step, so that neighbouring rows never share an edge.
        rows_.addText(optionsRowLabel(row),
                      std::make_shared<Vec3>(static_cast<float>(kRowLeft), static_cast<float>(rowTop(row) - 4), 0.0f),
                      std::make_shared<Vec3>(static_cast<float>(kRowWidth), static_cast<float>(kRowStep - 1), 0.0f));
    }
}

OptionsMain::~OptionsMain() {
    // A screen left in the middle of a wait gives Escape back to quitting.
    Kiln_keepEscapeForScene(false);
}

void OptionsMain::start() {
    started_ = true;
    Kiln_loadWAV(kSampleEffect, std::string("resource/sound/") + kSampleEffect + ".wav");
    // The music plays here so that its level can be judged.
    Kiln_playBgm(RUN_PLAY_MUSIC, -1, 0);
    lastMouseX_ = Kiln_getMouseX();
    lastMouseY_ = Kiln_getMouseY();
}

void OptionsMain::update() {
    if (!started_) start();
    // M toggles the mute on every screen; the row shows what is in force.
    options_.muted = Kiln_isMuted();
    if (nameEntry_) {
        handleNameEntry();
        if (unsaved_) save();
        return;
    }
    if (waitingFor_ >= 0) {
        handleKeyWait();
        if (unsaved_) save();
        return;
    }
    // Escape kept for a wait stays kept until it is let go, so a long press cannot quit.
    if (Kiln_isEscapeKeptForScene() && !Kiln_isKeyPressed(KEY_ESCAPE)) Kiln_keepEscapeForScene(false);

    const bool returnPushed = Kiln_isKeyPushed(KEY_RETURN);
    if (keypad_.isTriggerUp(false)) move(-1);
    if (keypad_.isTriggerDown(false)) move(1);
    if (keypad_.isTriggerLeft(false)) change(selected_, -1);
    if (keypad_.isTriggerRight(false)) change(selected_, 1);
    // Return is B's second key elsewhere; here it chooses, as A does.
    if (keypad_.isTriggerA(false) || returnPushed) {
        choose(selected_);
    } else if ((keypad_.isTriggerB(false) && !returnPushed) || Kiln_isPadPushed(PAD_BACK)) {
        leave();
    }
    if (waitingFor_ < 0 && getMessage() == MSG_NONE) handleMouse();
    if (unsaved_) save();
}

void OptionsMain::save() {
    unsaved_ = false;
    options_.muted = Kiln_isMuted();
    try {
        savePlayerOptions(options_);
    } catch (const std::exception& e) {
        // The session copy keeps them; the game goes on.
        Kiln_log("Could not save the options: %s\n", e.what());
    }
}

void OptionsMain::handleMouse() {
    const int x = Kiln_getMouseX();
    const int y = Kiln_getMouseY();
    // The selection follows the mouse only when it moves, so the keys are not overruled by a resting pointer.
    if (x != lastMouseX_ || y != lastMouseY_) {
        const int over = rowNamed(rows_.getMouseOver());
        if (over >= 0) selected_ = over;
        lastMouseX_ = x;
        lastMouseY_ = y;
    }
    const int clicked = rowNamed(rows_.update());
    if (clicked < 0) return;
    selected_ = clicked;
    choose(clicked);
}

void OptionsMain::move(int step) {
    selected_ = (selected_ + step + OPTIONS_ROW_COUNT) % OPTIONS_ROW_COUNT;
    notice_.clear();
}

void OptionsMain::change(int row, int step) {
    if (row == ROW_FULL_SCREEN) {
        toggleFullScreen();
        return;
    }
    if (row == ROW_ONLINE) {
        switchOnline();
        return;
    }
    if (!stepOptionsRow(row, step, options_)) return;
    apply();
    // The player hears the new level at once.
    if (row == ROW_EFFECTS) Kiln_playWAV(kSampleEffect, 0, -1);
}

void OptionsMain::choose(int row) {
    notice_.clear();
    const int button = boundButtonOfRow(row);
    if (button >= 0) {
        startKeyWait(button);
    } else if (isVolumeRow(row)) {
        // A raises the level one step and goes round from 10 to 0.
        const int level = row == ROW_MUSIC ? options_.musicVolume : options_.effectsVolume;
        change(row, level == OPTIONS_VOLUME_MAX ? -OPTIONS_VOLUME_MAX : 1);
    } else if (row == ROW_NAME) {
        if (world::service().reach() == world::Reach::NoServer) {
            notice_ = "NO SERVER SET";
        } else {
            openNameEntry(false);
        }
    } else if (row == ROW_RESTORE_DEFAULTS) {
        restoreDefaults();
    } else if (row == ROW_BACK) {
        leave();
    } else {
        change(row, 1);
    }
}

void OptionsMain::startKeyWait(int button) {
    waitingFor_ = button;
    notice_ = std::string("PRESS A KEY FOR ") + BUTTON_NAMES[button] + " (ESCAPE CANCELS)";
    // Escape cancels the wait instead of quitting the game.
    Kiln_keepEscapeForScene(true);
}

void OptionsMain::endKeyWait(const std::string& notice) {
    waitingFor_ = -1;
    notice_ = notice;
}

void OptionsMain::handleKeyWait() {
    if (Kiln_isPadPushed(PAD_B) || Kiln_isPadPushed(PAD_BACK)) {
        endKeyWait("");
        return;
    }
    const int key = Kiln_getPushedPhysicalKey();
    if (key < 0) return;
    if (key == KEY_ESCAPE) {
        endKeyWait("");
        return;
    }
    takeKey(key);
}

void OptionsMain::takeKey(int key) {
    const int button = waitingFor_;
    const std::string name = Kiln_keyName(key);
    // A refused key says why and the wait goes on, for another key or Escape.
    if (name.empty()) {
        notice_ = "THAT KEY CANNOT BE BOUND";
        return;
    }
    if (Kiln_isKeyReserved(key)) {
        notice_ = capitalName(key) + " HAS A JOB OF ITS OWN";
        return;
    }
    if (!keyNameStorable(name)) {
        notice_ = capitalName(key) + " CANNOT BE SAVED";
        return;
    }
    if (Kiln_bindKey(padButtonOf(button), key) == BIND_TAKEN) {
        for (int other = 0; other < BOUND_BUTTON_COUNT; ++other) {
            if (Kiln_getBoundKey(padButtonOf(other)) == key) {
                notice_ = capitalName(key) + " IS TAKEN BY " + BUTTON_NAMES[other];
            }
        }
        return;
    }
    options_.keys[static_cast<size_t>(button)] = name;
    unsaved_ = true;
    endKeyWait(std::string(BUTTON_NAMES[button]) + " IS NOW " + capitalName(key));
}

void OptionsMain::switchOnline() {
    world::WorldService& world = world::service();
    if (world.reach() == world::Reach::NoServer) {
        notice_ = "NO SERVER SET";
        return;
    }
    if (options_.online) {
        options_.online = false;
        world.turnOff();
        unsaved_ = true;
        notice_ = "ONLINE IS OFF";
        return;
    }
    // A name kept from before is sent again at once; the first time, the player chooses one.
    openNameEntry(!options_.playerName.empty());
}

void OptionsMain::openNameEntry(bool registerAtOnce) {
    notice_.clear();
    nameEntry_ = std::make_unique<NameEntry>(options_.playerName, registerAtOnce);
}

void OptionsMain::handleNameEntry() {
    const NameEntry::Outcome outcome = nameEntry_->update();
    if (outcome == NameEntry::Outcome::Open) return;
    if (outcome == NameEntry::Outcome::Accepted) {
        options_.online = true;
        options_.playerName = nameEntry_->name();
        unsaved_ = true;
        notice_ = "ONLINE AS " + options_.playerName;
    } else if (outcome == NameEntry::Outcome::Offline) {
        notice_ = "WORLD: OFFLINE";
    }
    // A registration left unanswered or unreachable must not turn the world on behind ONLINE = 0.
    const bool joiningAbandoned = outcome != NameEntry::Outcome::Accepted && !options_.online &&
                                  (nameEntry_->isWaiting() || outcome == NameEntry::Outcome::Offline);
    if (joiningAbandoned) world::service().turnOff();
    nameEntry_.reset();
    // An Escape that cancelled stays the screen's until it is let go, so a long press cannot quit.
    Kiln_keepEscapeForScene(true);
    lastMouseX_ = Kiln_getMouseX();
    lastMouseY_ = Kiln_getMouseY();
}

void OptionsMain::restoreDefaults() {
    // The player's place in the world is no preference to reset: ONLINE and NAME stay.
    OptionsSettings defaults;
    defaults.online = options_.online;
    defaults.playerName = options_.playerName;
    options_ = defaults;
    apply();
    if (Kiln_isFullScreen()) Kiln_toggleFullScreen();
    notice_ = "DEFAULTS RESTORED";
}

void OptionsMain::toggleFullScreen() {
    Kiln_toggleFullScreen();
    options_.fullScreen = Kiln_isFullScreen();
    unsaved_ = true;
}

void OptionsMain::apply() {
    applyOptionsToFramework(options_);
    unsaved_ = true;
}

void OptionsMain::leave() {
    save();
    Kiln_keepEscapeForScene(false);
    setMessage(MSG_TITLE);
}

void OptionsMain::draw() {
    Kiln_clear();
    Kiln_resetView();
    Kiln_setBlendMode(BLEND_ALPHA);
    if (nameEntry_) {
        nameEntry_->draw();
        return;
    }
    Kiln_drawText("OPTIONS", 236, kHeadingY, 3.0f, 255, 255, 255, 255);

    const int hover = rowNamed(rows_.getMouseOver());
    const OptionsRowsWorld world{.fullScreen = Kiln_isFullScreen(),
                                 .noServer = world::service().reach() == world::Reach::NoServer};
    for (int row = 0; row < OPTIONS_ROW_COUNT; ++row) {
        const int y = rowTop(row);
        const bool selected = row == selected_;
        if (selected) Kiln_drawRect(kRowLeft, y - 4, kRowWidth, kRowStep, 0, 0.0f, 32, 64, 160, 255);
        const bool waiting = selected && waitingFor_ >= 0;
        if (row == hover && !selected) {
            drawText(optionsRowLabel(row), kLabelX, y, 255, 128, 32);
        } else {
            drawText(optionsRowLabel(row), kLabelX, y, 255, 255, selected ? 255 : 200);
        }
        const std::string value = waiting ? "?" : optionsRowValue(row, options_, world);
        drawText(value, kValueX, y, 255, 255, 255);
        if (isVolumeRow(row)) {
            // A bar of ten steps after the number.
            const int level = row == ROW_MUSIC ? options_.musicVolume : options_.effectsVolume;
            for (int step = 0; step < OPTIONS_VOLUME_MAX; ++step) {
                const int x = kValueX + 48 + step * 14;
                if (step < level) {
                    Kiln_drawRect(x, y + 2, 10, kGlyphSize - 4, 0, 0.0f, 255, 255, 255, 255);
                } else {
                    Kiln_drawRect(x, y + 2, 10, kGlyphSize - 4, 1, 0.0f, 128, 128, 128, 255);
                }
            }
        }
    }
    if (!notice_.empty()) drawText(notice_, 32, kNoticeY, 255, 224, 64);
    drawText("A:CHOOSE  B:BACK  LEFT RIGHT:CHANGE", 32, kHelpY, 160, 160, 160);
}
