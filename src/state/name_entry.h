// The name screen the options open to join the world: the name typed on the
// keyboard or picked letter by letter from a grid with the arrows, a
// controller or the mouse, then registered and waited for. A name already
// taken says so and the screen asks again; an answer that never comes can be
// cancelled. The screen never waits for the network: each frame it reads the
// world's latest answer.
#pragma once

#include <string>

#include "state/menu_pointer.h"

// The letters a name may hold: those the world table takes and the game's
// font draws, in the grid's order (capitals, small letters, digits, '-', '.').
extern const char NAME_LETTERS[];
bool isNameLetter(char letter);

class NameEntry {
public:
    enum class Outcome { Open, Accepted, Cancelled, Offline };

    // The grid: NAME_GRID_COLUMNS letters to a row, then a row of the actions.
    static constexpr int NAME_GRID_COLUMNS = 16;
    static constexpr int NAME_GRID_LETTER_ROWS = 4;
    enum Action { ACTION_DELETE, ACTION_OK, ACTION_CANCEL, ACTION_COUNT };

    // Opens on name (the one kept, or ""); registerAtOnce sends it without
    // typing, as turning ONLINE on with a kept name does.
    NameEntry(const std::string& name, bool registerAtOnce);
    ~NameEntry();
    NameEntry(const NameEntry&) = delete;
    NameEntry& operator=(const NameEntry&) = delete;

    // One frame: the player's input, or the world's answer while waiting.
    Outcome update();
    void draw() const;

    // Editing, as keys, buttons and clicks do it. A letter that is not a
    // name letter, or one past the twelfth, is refused with a notice.
    bool type(char letter);
    void erase();
    // Sends the name when it is one; false (with a notice) when it is not.
    bool confirm();

    const std::string& name() const { return name_; }
    const std::string& notice() const { return notice_; }
    bool isWaiting() const { return waiting_; }
    // The highlighted cell: a letter row 0..3 or the actions' row 4.
    int cursorColumn() const { return column_; }
    int cursorRow() const { return row_; }

    // Where a cell is drawn, for the mouse and the tests: its top-left corner and size.
    struct CellBox {
        int x, y, width, height;
    };
    static CellBox cellBox(int column, int row);

private:
    Outcome typeFromKeys();
    Outcome useController();
    Outcome useMouse();
    Outcome activate(int column, int row);
    Outcome awaitAnswer();
    void moveCursor(int columns, int rows);

    std::string name_;
    std::string notice_;
    bool waiting_ = false;
    int column_ = 0;
    int row_ = 0;
    MenuPointer pointer_;
};
