// The toolbox screen: menu widgets driven by the mouse, the toolbox tile map
// drawn as coloured chips, and the mouse recorder. The mouse is recorded from
// the first frame; F2 plays the recording back as a cursor trail with click
// rings, and F2 again returns to live recording with a fresh buffer.
#include "state/toolbox_main.h"

#include <array>
#include <cstdio>
#include <string>

#include "clickable/clickable_pool.h"
#include "fmfloader/fmf_loader.h"
#include "keypad/mouse_recorder.h"
#include "kiln2/kiln2.h"

namespace {

constexpr const char* MAP_FILE = "resource/map/toolbox.fmf";

// Screen layout, top to bottom.
constexpr int LARGE_ROW_Y = 48;
constexpr int PLAIN_ROW_Y = 96;
constexpr int TEXT_ROW_Y = 136;
constexpr int MAP_X = 16;
constexpr int MAP_Y = 176;
constexpr int STATUS_Y = 336;
constexpr int BUTTON_LEFT = 16;
constexpr int LARGE_STEP = 96;  // 80 px button, 16 px gap

// Text buttons that pick which map layers are shown.
constexpr const char* SHOW_GROUND = "GROUND";
constexpr const char* SHOW_OBJECTS = "OBJECTS";
constexpr const char* SHOW_BOTH = "BOTH";
constexpr float TEXT_ADVANCE = 16.0f;  // 8 px glyphs at the pool's text scale 2

// Colours of the map's chip numbers; chip 0 is left undrawn.
struct ChipColour {
    uint8_t r, g, b;
};
constexpr std::array<ChipColour, 6> CHIP_COLOURS = {{
    {0, 0, 0},
    {120, 96, 72},   // rock
    {64, 176, 64},   // grass
    {48, 96, 224},   // water
    {255, 224, 32},  // item
    {224, 48, 48},   // enemy
}};
constexpr ChipColour UNKNOWN_CHIP = {255, 0, 255};

// How much of the played-back mouse stays on screen.
constexpr int TRAIL_LENGTH = 90;
constexpr int CLICK_MARKS = 16;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

class ToolboxMain : public GameState {
public:
    ToolboxMain();
    void update() override;
    void draw() override;

private:
    void buildMenu();
    void switchRecorderMode();
    void followPlayback();
    void drawMap() const;
    void drawLayer(int index) const;
    void drawPlayback() const;
    void drawStatus() const;

    ClickablePool menu_;
    FMFLoader map_;
    std::unique_ptr<MouseRecorder> recorder_;
    std::string shownLayers_ = SHOW_BOTH;
    std::string lastClicked_;

    // Played-back cursor positions and clicks, newest last, as rings.
    std::array<ScreenPoint, TRAIL_LENGTH> trail_{};
    int trailCount_ = 0;
    int trailNext_ = 0;
    std::array<ScreenPoint, CLICK_MARKS> clicks_{};
    int clickCount_ = 0;
    int clickNext_ = 0;
};

std::shared_ptr<Vec3> at(int x, int y) {
    return std::make_shared<Vec3>(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

ToolboxMain::ToolboxMain()
    : map_(FMFLoader::load(Kiln_resourcePath(MAP_FILE))), recorder_(std::make_unique<MouseRecorder>()) {
    Kiln_log("ToolboxMain\n");
    buildMenu();
}

void ToolboxMain::buildMenu() {
    // Named after the labels they show; the first one starts selected.
    const char* large[] = {"START", "STAGE", "REPLAY", "SOUND", "KEYS", "QUIT"};
    for (int i = 0; i < 6; ++i) {
        menu_.addImageButton(large[i], at(BUTTON_LEFT + LARGE_STEP * i, LARGE_ROW_Y), ImageButton::LARGE_0 + i);
    }
    menu_.addImageButton("PLAY", at(BUTTON_LEFT, PLAIN_ROW_Y), ImageButton::MEDIUM_0);
    menu_.addImageButton("STOP", at(BUTTON_LEFT + 80, PLAIN_ROW_Y), ImageButton::MEDIUM_1);
    const char* small[] = {"S1", "S2", "S3", "S4"};
    for (int i = 0; i < 4; ++i) {
        menu_.addImageButton(small[i], at(BUTTON_LEFT + 176 + 48 * i, PLAIN_ROW_Y), ImageButton::SMALL_0 + i);
    }
    int x = BUTTON_LEFT;
    for (const char* name : {SHOW_GROUND, SHOW_OBJECTS, SHOW_BOTH}) {
        const float width = TEXT_ADVANCE * static_cast<float>(std::string(name).size());
        menu_.addText(name, at(x, TEXT_ROW_Y), std::make_shared<Vec3>(width, TEXT_ADVANCE, 0.0f));
        x += static_cast<int>(width) + 32;
    }
}

void ToolboxMain::update() {
    recorder_->update();
    if (Kiln_isKeyPushed(KEY_F2)) {
        switchRecorderMode();
    } else if (recorder_->getMode() == MouseRecorder::PLAYBACK) {
        followPlayback();
    }

    std::string clicked = menu_.update();
    if (!clicked.empty()) {
        lastClicked_ = clicked;
        if (clicked == SHOW_GROUND || clicked == SHOW_OBJECTS || clicked == SHOW_BOTH) {
            shownLayers_ = clicked;
        }
    }
}

void ToolboxMain::switchRecorderMode() {
    trailCount_ = trailNext_ = 0;
    clickCount_ = clickNext_ = 0;
    if (recorder_->getMode() == MouseRecorder::RECORD) {
        recorder_->setMode(MouseRecorder::PLAYBACK);
        return;
    }
    // A fresh recorder, so the next playback holds only the new recording.
    recorder_ = std::make_unique<MouseRecorder>();
}

void ToolboxMain::followPlayback() {
    if (recorder_->getFrameCount() == 0) {
        return;
    }
    trail_[trailNext_] = {recorder_->getX(), recorder_->getY()};
    trailNext_ = (trailNext_ + 1) % TRAIL_LENGTH;
    trailCount_ = trailCount_ < TRAIL_LENGTH ? trailCount_ + 1 : TRAIL_LENGTH;
    if (recorder_->isClicked()) {
        clicks_[clickNext_] = {recorder_->getX(), recorder_->getY()};
        clickNext_ = (clickNext_ + 1) % CLICK_MARKS;
        clickCount_ = clickCount_ < CLICK_MARKS ? clickCount_ + 1 : CLICK_MARKS;
    }
    // The recording loops: at its last frame, start again from the first.
    if (recorder_->getFrame() >= recorder_->getFrameCount() - 1) {
        recorder_->setMode(MouseRecorder::PLAYBACK);
        clickCount_ = clickNext_ = 0;
    }
}

void ToolboxMain::draw() {
    Kiln_clear();
    Kiln_resetView();
    Kiln_setBlendMode(BLEND_ALPHA);

    Kiln_drawText("TOOLBOX", BUTTON_LEFT, 12, 2.0f, 255, 255, 255, 255);
    const std::string selected = "SELECTED: " + (menu_.getSelected().empty() ? "-" : menu_.getSelected());
    Kiln_drawText(selected, 240, 12, 2.0f, 255, 224, 32, 255);

    drawMap();
    menu_.draw();
    drawStatus();
    if (recorder_->getMode() == MouseRecorder::PLAYBACK) {
        drawPlayback();
    }
}

void ToolboxMain::drawMap() const {
    // A dark backdrop the size of the map, then the chosen layers over it.
    Kiln_drawRect(MAP_X, MAP_Y, map_.getWidth() * map_.getChipWidth(), map_.getHeight() * map_.getChipHeight(), 0,
                  0.0f, 16, 16, 40, 255);
    if (shownLayers_ != SHOW_OBJECTS) {
        drawLayer(0);
    }
    if (shownLayers_ != SHOW_GROUND) {
        drawLayer(1);
    }
}

void ToolboxMain::drawLayer(int index) const {
    const Layer2D* layer = map_.getLayer(index);
    if (layer == nullptr) {
        return;
    }
    const int w = map_.getChipWidth();
    const int h = map_.getChipHeight();
    for (int y = 0; y < layer->getHeight(); ++y) {
        for (int x = 0; x < layer->getWidth(); ++x) {
            const int chip = layer->get(x, y);
            if (chip == 0) {
                continue;
            }
            const ChipColour colour =
                chip > 0 && chip < static_cast<int>(CHIP_COLOURS.size()) ? CHIP_COLOURS[chip] : UNKNOWN_CHIP;
            // One pixel of gap keeps the chips readable as a grid.
            Kiln_drawRect(MAP_X + x * w, MAP_Y + y * h, w - 1, h - 1, 0, 0.0f, colour.r, colour.g, colour.b, 255);
        }
    }
}

void ToolboxMain::drawPlayback() const {
    // The trail fades from old to new; the cursor itself is a cross.
    for (int i = 0; i < trailCount_; ++i) {
        const ScreenPoint& p = trail_[(trailNext_ - trailCount_ + i + TRAIL_LENGTH) % TRAIL_LENGTH];
        const uint8_t alpha = static_cast<uint8_t>(64 + 191 * (i + 1) / trailCount_);
        Kiln_drawRect(p.x - 1, p.y - 1, 3, 3, 0, 0.0f, 32, 255, 255, alpha);
    }
    for (int i = 0; i < clickCount_; ++i) {
        const ScreenPoint& p = clicks_[i];
        Kiln_drawCircle(static_cast<float>(p.x), static_cast<float>(p.y), 10.0f, 2, 255, 64, 64, 255);
    }
    const int x = recorder_->getX();
    const int y = recorder_->getY();
    Kiln_drawRect(x - 8, y, 17, 1, 0, 0.0f, 255, 255, 255, 255);
    Kiln_drawRect(x, y - 8, 1, 17, 0, 0.0f, 255, 255, 255, 255);
}

void ToolboxMain::drawStatus() const {
    char line[96];
    if (recorder_->getMode() == MouseRecorder::RECORD) {
        std::snprintf(line, sizeof line, "MOUSE REC %d FRAMES", recorder_->getFrameCount());
        Kiln_drawText(line, BUTTON_LEFT, STATUS_Y, 2.0f, 255, 64, 64, 255);
        Kiln_drawText("F2: PLAY BACK THE MOUSE", BUTTON_LEFT, STATUS_Y + 24, 2.0f, 160, 160, 160, 255);
    } else {
        std::snprintf(line, sizeof line, "MOUSE PLAYBACK %d/%d", recorder_->getFrame(), recorder_->getFrameCount());
        Kiln_drawText(line, BUTTON_LEFT, STATUS_Y, 2.0f, 32, 255, 255, 255);
        Kiln_drawText("F2: BACK TO LIVE", BUTTON_LEFT, STATUS_Y + 24, 2.0f, 160, 160, 160, 255);
    }
    std::snprintf(line, sizeof line, "LAST CLICK: %s  LAYERS: %s", lastClicked_.empty() ? "-" : lastClicked_.c_str(),
                  shownLayers_.c_str());
    Kiln_drawText(line, BUTTON_LEFT, STATUS_Y + 48, 2.0f, 160, 160, 160, 255);
}

}  // namespace

std::unique_ptr<GameState> makeToolboxMain() { return std::make_unique<ToolboxMain>(); }
