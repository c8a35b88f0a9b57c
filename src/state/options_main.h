// The options screen, reached from the title: one row each for the music and
// effects levels, the mute, the picture, full screen, the six keys, the
// controller's A button, the ghost, ONLINE and the NAME the world table
// shows (both through the name screen), restoring the defaults and going back.
// UP/DOWN move, LEFT/RIGHT change, A or Return chooses, B returns to the
// title; the mouse hovers and clicks rows. Every change takes effect at once;
// the settings are saved when the screen is left, and after each change as
// well, so that quitting the game from this screen (Escape, the window's
// close) keeps them.
#pragma once

#include <memory>
#include <string>

#include "clickable/clickable_pool.h"
#include "config/options_settings.h"
#include "keypad/keypad.h"
#include "scene/game_state.h"
#include "state/name_entry.h"
#include "state/options_rows.h"

class OptionsMain : public GameState {
public:
    OptionsMain();
    ~OptionsMain() override;
    OptionsMain(const OptionsMain&) = delete;
    OptionsMain& operator=(const OptionsMain&) = delete;

    void update() override;
    void draw() override;

    int getSelectedRow() const { return selected_; }
    // The bound button (BOUND_UP ... BOUND_B) waiting for its key, or -1.
    int getWaitingButton() const { return waitingFor_; }
    // The short line under the rows: a refusal, a confirmation or the wait's prompt.
    const std::string& getNotice() const { return notice_; }
    const OptionsSettings& getOptions() const { return options_; }
    // The name screen while it is open, else null.
    const NameEntry* nameEntry() const { return nameEntry_.get(); }

    // Where row r is drawn, for the mouse and the tests.
    static int rowTop(int row);

private:
    void start();
    void handleKeyWait();
    void handleMouse();
    void move(int step);
    void change(int row, int step);
    void choose(int row);
    void startKeyWait(int button);
    void endKeyWait(const std::string& notice);
    void takeKey(int key);
    void restoreDefaults();
    void toggleFullScreen();
    void switchOnline();
    void openNameEntry(bool registerAtOnce);
    void handleNameEntry();
    void apply();
    void leave();
    void save();

    Keypad keypad_{0};
    ClickablePool rows_;
    std::unique_ptr<NameEntry> nameEntry_;
    OptionsSettings options_;
    int selected_ = 0;
    int waitingFor_ = -1;
    std::string notice_;
    bool started_ = false;
    bool unsaved_ = false;
    int lastMouseX_ = -1;
    int lastMouseY_ = -1;
};
