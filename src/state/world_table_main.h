// The world table of the stage the title shows, reached with W or a
// controller's top face button: the first ten, then the player's own row with
// those just above and below it. UP/DOWN (or the mouse) pick a row and A or
// Return chooses it, which offers WATCH (the theatre plays the entry's run)
// and RACE (the next live run races it as its ghost). Either waits, without
// holding up a frame, for the entry's replay to reach the cache; B goes back
// a step, and from the rows to the title.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "keypad/keypad.h"
#include "scene/game_state.h"
#include "state/menu_pointer.h"
#include "world/world_service.h"

class WorldTableMain : public GameState {
public:
    enum Offer { OFFER_WATCH, OFFER_RACE, OFFER_COUNT };

    WorldTableMain();
    ~WorldTableMain() override;

    void update() override;
    void draw() override;

    // The rows shown, as the world last answered: the top, then the player's part.
    const std::vector<world::WorldEntry>& rows() const { return rows_; }
    int selectedRow() const { return selected_; }
    // True while WATCH and RACE are offered for the selected row.
    bool isOffering() const { return offering_; }
    int selectedOffer() const { return offer_; }
    // The offer waiting for its replay, or none.
    std::optional<Offer> waitingFor() const { return waitingFor_; }
    const std::string& notice() const { return notice_; }

    // Where row r and offer o are drawn, for the mouse and the tests.
    static int rowTop(int row);
    static int offerLeft(int offer);
    static constexpr int OFFER_TOP = 400;

private:
    void readTable();
    void handleRows();
    void handleOffer();
    void handleWait();
    void handleMouse();
    void choose(Offer offer);
    void finish(const world::CachedReplay& replay);

    Keypad keypad_{0};
    int stage_ = 0;
    std::vector<world::WorldEntry> rows_;
    // Where the player's part starts in rows_ (rows_.size() when there is none).
    size_t aroundStart_ = 0;
    int selected_ = 0;
    bool offering_ = false;
    int offer_ = OFFER_WATCH;
    std::optional<Offer> waitingFor_;
    world::WorldEntry chosen_;
    std::string notice_;
    MenuPointer pointer_;
};
