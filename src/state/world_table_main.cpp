// The world table screen; see world_table_main.h.
#include "state/world_table_main.h"

#include <algorithm>
#include <cstdio>

#include "config/game_settings.h"
#include "config/player_files.h"
#include "kiln2/kiln2.h"
#include "state/title_main.h"
#include "state/watch_request.h"
#include "state/world_ghost.h"
#include "state/world_line.h"

namespace {

// A missing config.ini is recreated with the first stage selected, as the title does.
constexpr int kDefaultStage = 0;

// Layout: the heading, the rows (a gap before the player's part), the offer, the notice, the help.
constexpr int kHeadingY = 20;
constexpr int kFirstRowY = 76;
constexpr int kRowStep = 22;
constexpr int kPartGap = 10;
constexpr int kRowLeft = 40;
constexpr int kRowWidth = 560;
constexpr int kRankX = 56;
constexpr int kPlayerX = 152;
constexpr int kScoreX = 392;
constexpr int kLiveX = 536;
constexpr int kOfferWidth = 120;
constexpr int kNoticeY = 432;
constexpr int kHelpY = 458;
constexpr float kTextScale = 2.0f;
constexpr int kGlyphPixels = 16;

const char* const OFFER_LABELS[WorldTableMain::OFFER_COUNT] = {"WATCH", "RACE"};

void drawText(const std::string& text, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    Kiln_drawText(text, x, y, kTextScale, r, g, b, 255);
}

bool insideBox(int x, int y, int left, int top, int width, int height) {
    return x >= left && x < left + width && y >= top && y < top + height;
}

}  // namespace

int WorldTableMain::rowTop(int row) { return kFirstRowY + row * kRowStep; }

int WorldTableMain::offerLeft(int offer) { return 160 + offer * (kOfferWidth + 40); }

WorldTableMain::WorldTableMain() {
    Kiln_log("WorldTableMain\n");
    setMessage(MSG_NONE);
    ConfigParser config;
    std::vector<std::string> problems = loadPlayerConfig(config, kDefaultStage);
    stage_ = readGameSettings(config, problems).stage;
    world::service().refreshStage(stage_);
    readTable();
}

WorldTableMain::~WorldTableMain() = default;

// The top ten, then the player's part without the rows the top already shows.
void WorldTableMain::readTable() {
    rows_.clear();
    aroundStart_ = 0;
    const std::optional<world::WorldTable> table = world::service().table(stage_);
    if (!table) return;
    rows_ = table->top;
    aroundStart_ = rows_.size();
    for (const world::WorldEntry& entry : table->around) {
        const bool shown = std::any_of(table->top.begin(), table->top.end(),
                                       [&entry](const world::WorldEntry& top) { return top.runId == entry.runId; });
        if (!shown) rows_.push_back(entry);
    }
    if (!rows_.empty()) selected_ = std::clamp(selected_, 0, static_cast<int>(rows_.size()) - 1);
}

void WorldTableMain::update() {
    if (getMessage() != MSG_NONE) return;
    // The answers may come or change while the screen is open; a choice in progress keeps its entry.
    readTable();
    if (waitingFor_) {
        handleWait();
    } else if (offering_) {
        handleOffer();
    } else {
        handleRows();
    }
    if (getMessage() == MSG_NONE && !waitingFor_) handleMouse();
}

void WorldTableMain::handleRows() {
    const bool returnPushed = Kiln_isKeyPushed(KEY_RETURN);
    const int count = static_cast<int>(rows_.size());
    if (count > 0 && keypad_.isTriggerUp(false)) selected_ = (selected_ + count - 1) % count;
    if (count > 0 && keypad_.isTriggerDown(false)) selected_ = (selected_ + 1) % count;
    if ((keypad_.isTriggerA(false) || returnPushed) && count > 0) {
        offering_ = true;
        offer_ = OFFER_WATCH;
        notice_.clear();
    } else if ((keypad_.isTriggerB(false) && !returnPushed) || Kiln_isPadPushed(PAD_BACK)) {
        setMessage(MSG_TITLE);
    }
}

void WorldTableMain::handleOffer() {
    const bool returnPushed = Kiln_isKeyPushed(KEY_RETURN);
    if (keypad_.isTriggerLeft(false) || keypad_.isTriggerRight(false)) offer_ = 1 - offer_;
    if (keypad_.isTriggerA(false) || returnPushed) {
        choose(static_cast<Offer>(offer_));
    } else if ((keypad_.isTriggerB(false) && !returnPushed) || Kiln_isPadPushed(PAD_BACK)) {
        offering_ = false;
    }
}

void WorldTableMain::choose(Offer offer) {
    if (selected_ < 0 || selected_ >= static_cast<int>(rows_.size())) return;
    chosen_ = rows_[static_cast<size_t>(selected_)];
    offering_ = false;
    world::WorldService& world = world::service();
    if (const std::optional<world::CachedReplay> cached = world.cachedReplay(chosen_.runId)) {
        waitingFor_ = offer;
        finish(*cached);
        return;
    }
    world.fetchReplay(chosen_, stage_);
    waitingFor_ = offer;
    notice_ = "FETCHING THE RUN OF " + chosen_.player;
}

void WorldTableMain::handleWait() {
    if (keypad_.isTriggerB(false) || Kiln_isPadPushed(PAD_BACK)) {
        waitingFor_.reset();
        notice_.clear();
        return;
    }
    const world::WorldService& world = world::service();
    if (const std::optional<world::CachedReplay> cached = world.cachedReplay(chosen_.runId)) {
        finish(*cached);
    } else if (world.reach() == world::Reach::Offline) {
        waitingFor_.reset();
        notice_ = "WORLD: OFFLINE";
    }
}

void WorldTableMain::finish(const world::CachedReplay& replay) {
    const Offer offer = *waitingFor_;
    waitingFor_.reset();
    if (offer == OFFER_WATCH) {
        // The results compare the world's run with the player's own best, as any replay's do.
        requestWatch({.replayFile = replay.path, .stage = stage_, .caption = "WORLD " + worldEntryLabel(chosen_)});
        setMessage(MSG_THEATRE);
    } else {
        // The title saved the stage before opening the table: the run flies it.
        requestRace({.runId = chosen_.runId, .stage = stage_});
        Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
        setMessage(MSG_GAME);
    }
    Kiln_log("World table: %s %s\n", offer == OFFER_WATCH ? "watching" : "racing", replay.path.c_str());
}

void WorldTableMain::handleMouse() {
    if (!pointer_.update()) return;
    const int x = pointer_.x();
    const int y = pointer_.y();
    const bool clicked = pointer_.clicked();
    if (offering_) {
        for (int offer = 0; offer < OFFER_COUNT; ++offer) {
            if (!insideBox(x, y, offerLeft(offer), OFFER_TOP - 4, kOfferWidth, kRowStep)) continue;
            offer_ = offer;
            if (clicked) choose(static_cast<Offer>(offer));
            return;
        }
    }
    for (size_t row = 0; row < rows_.size(); ++row) {
        const int top = rowTop(static_cast<int>(row)) + (row >= aroundStart_ ? kPartGap : 0);
        if (!insideBox(x, y, kRowLeft, top - 4, kRowWidth, kRowStep - 1)) continue;
        selected_ = static_cast<int>(row);
        if (clicked) {
            offering_ = true;
            offer_ = OFFER_WATCH;
            notice_.clear();
        }
        return;
    }
}

void WorldTableMain::draw() {
    Kiln_clear();
    Kiln_resetView();
    Kiln_setBlendMode(BLEND_ALPHA);
    Kiln_drawText("WORLD TABLE", 188, kHeadingY, 3.0f, 255, 255, 255, 255);
    drawText(TitleMain::stageLabel(stage_), 232, kHeadingY + 30, 255, 255, 200);

    const world::WorldService& world = world::service();
    if (rows_.empty()) {
        const bool offline = world.reach() == world::Reach::Offline;
        const bool answered = world.table(stage_).has_value();
        drawText(offline ? "WORLD: OFFLINE" : answered ? "NO RUNS YET" : "ASKING THE WORLD", kRankX, rowTop(0), 255,
                 255, 200);
    }
    const std::string me = world.playerName();
    for (size_t row = 0; row < rows_.size(); ++row) {
        const world::WorldEntry& entry = rows_[row];
        const int y = rowTop(static_cast<int>(row)) + (row >= aroundStart_ ? kPartGap : 0);
        const bool selected = static_cast<int>(row) == selected_;
        if (selected) Kiln_drawRect(kRowLeft, y - 4, kRowWidth, kRowStep, 0, 0.0f, 32, 64, 160, 255);
        // The player's own row stands out in amber, as the ghost does.
        const bool mine = !me.empty() && entry.player == me;
        const uint8_t blue = mine ? 64 : 255;
        const uint8_t green = mine ? 176 : 255;
        drawText("#" + std::to_string(entry.rank), kRankX, y, 255, green, blue);
        drawText(entry.player, kPlayerX, y, 255, green, blue);
        drawText(std::to_string(entry.score), kScoreX, y, 255, green, blue);
        if (entry.live) drawText("LIVE", kLiveX, y, 160, 255, 160);
    }
    if (offering_) {
        for (int offer = 0; offer < OFFER_COUNT; ++offer) {
            const int left = offerLeft(offer);
            if (offer == offer_) Kiln_drawRect(left, OFFER_TOP - 4, kOfferWidth, kRowStep, 0, 0.0f, 32, 64, 160, 255);
            const std::string label = OFFER_LABELS[offer];
            drawText(label, left + (kOfferWidth - static_cast<int>(label.size()) * kGlyphPixels) / 2, OFFER_TOP, 255,
                     255, 255);
        }
    }
    if (!notice_.empty()) drawText(notice_, 32, kNoticeY, 255, 224, 64);
    drawText(offering_ || waitingFor_ ? "A:CHOOSE  B:BACK  LEFT RIGHT:CHANGE" : "A:CHOOSE  B:BACK", 32, kHelpY, 160,
             160, 160);
}
