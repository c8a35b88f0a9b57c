// The name screen: typing, the letter grid, registering and the answer; see name_entry.h.
#include "state/name_entry.h"

#include <cstring>

#include "config/options_settings.h"
#include "kiln2/kiln2.h"
#include "world/world_service.h"

const char NAME_LETTERS[] =
    "ABCDEFGHIJKLMNOP"
    "QRSTUVWXYZabcdef"
    "ghijklmnopqrstuv"
    "wxyz0123456789-.";

namespace {

constexpr int kLetterCount = static_cast<int>(sizeof(NAME_LETTERS)) - 1;
static_assert(kLetterCount == NameEntry::NAME_GRID_COLUMNS * NameEntry::NAME_GRID_LETTER_ROWS,
              "the grid holds every name letter once");
constexpr int kActionRow = NameEntry::NAME_GRID_LETTER_ROWS;

// Layout: the heading, the name, the grid, the actions, the notice, the help.
constexpr int kHeadingY = 40;
constexpr int kNameY = 110;
constexpr int kNameX = 224;
constexpr int kGridLeft = 64;
constexpr int kGridTop = 170;
constexpr int kCellWidth = 32;
constexpr int kCellHeight = 32;
constexpr int kActionTop = kGridTop + NameEntry::NAME_GRID_LETTER_ROWS * kCellHeight + 16;
constexpr int kActionWidth = 160;
constexpr int kActionGap = 16;
constexpr int kNoticeY = 380;
constexpr int kHelpY = 436;
constexpr int kGlyphPixels = 16;  // a glyph at the screen's text scale 2
constexpr float kTextScale = 2.0f;

const char* const ACTION_LABELS[NameEntry::ACTION_COUNT] = {"DELETE", "OK", "CANCEL"};

// Physical keys as the keyboard reports them, before any binding: the
// letters type, so the bound A and B keys (Z and X by default) type too.
constexpr int kKeyLeftShift = 304;
constexpr int kKeyRightShift = 303;
constexpr int kKeyUp = KEY_UP, kKeyDown = KEY_DOWN, kKeyLeft = KEY_LEFT, kKeyRight = KEY_RIGHT;

bool shiftHeld() { return Kiln_isKeyPressed(kKeyLeftShift) || Kiln_isKeyPressed(kKeyRightShift); }

// The letter a key types, or 0 for a key that types nothing; a letter key
// with Shift held types the capital.
char letterOfKey(int key) {
    if (key >= 'a' && key <= 'z') return static_cast<char>(shiftHeld() ? key - 'a' + 'A' : key);
    if (key > 32 && key < 127) return static_cast<char>(key);
    return 0;
}

void drawText(const std::string& text, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    Kiln_drawText(text, x, y, kTextScale, r, g, b, 255);
}

int actionColumnUnder(int letterColumn) { return letterColumn * NameEntry::ACTION_COUNT / NameEntry::NAME_GRID_COLUMNS; }

int letterColumnOver(int actionColumn) {
    return actionColumn * NameEntry::NAME_GRID_COLUMNS / NameEntry::ACTION_COUNT + 2;
}

}  // namespace

bool isNameLetter(char letter) { return letter != '\0' && std::strchr(NAME_LETTERS, letter) != nullptr; }

NameEntry::CellBox NameEntry::cellBox(int column, int row) {
    if (row == kActionRow) {
        return {kGridLeft + column * (kActionWidth + kActionGap), kActionTop, kActionWidth, kCellHeight};
    }
    return {kGridLeft + column * kCellWidth, kGridTop + row * kCellHeight, kCellWidth, kCellHeight};
}

NameEntry::NameEntry(const std::string& name, bool registerAtOnce) : name_(name) {
    // Escape cancels and M types an M here, instead of quitting and muting.
    Kiln_keepEscapeForScene(true);
    Kiln_keepTypingForScene(true);
    if (registerAtOnce) confirm();
}

NameEntry::~NameEntry() {
    Kiln_keepEscapeForScene(false);
    Kiln_keepTypingForScene(false);
}

bool NameEntry::type(char letter) {
    if (!isNameLetter(letter)) {
        notice_ = "A NAME HOLDS A-Z a-z 0-9 - . ONLY";
        return false;
    }
    if (name_.size() >= PLAYER_NAME_MAX) {
        notice_ = "12 LETTERS AT MOST";
        return false;
    }
    name_ += letter;
    notice_.clear();
    return true;
}

void NameEntry::erase() {
    if (!name_.empty()) name_.pop_back();
    notice_.clear();
}

bool NameEntry::confirm() {
    if (!isPlayerName(name_)) {
        notice_ = "TYPE A NAME FIRST";
        return false;
    }
    world::service().registerName(name_);
    waiting_ = true;
    notice_ = "JOINING THE WORLD AS " + name_;
    Kiln_log("Name screen: registering %s\n", name_.c_str());
    return true;
}

NameEntry::Outcome NameEntry::update() {
    const bool cancelAsked =
        Kiln_isKeyPushed(KEY_ESCAPE) || Kiln_isPadPushed(PAD_BACK) || (waiting_ && Kiln_isPadPushed(PAD_B));
    if (cancelAsked) return Outcome::Cancelled;
    if (waiting_) return awaitAnswer();
    Outcome outcome = typeFromKeys();
    if (outcome == Outcome::Open && !waiting_) outcome = useController();
    if (outcome == Outcome::Open && !waiting_) outcome = useMouse();
    return outcome;
}

NameEntry::Outcome NameEntry::awaitAnswer() {
    const world::WorldService& world = world::service();
    switch (world.nameAnswer()) {
        case world::NameAnswer::Accepted:
            waiting_ = false;
            return Outcome::Accepted;
        case world::NameAnswer::Taken:
            waiting_ = false;
            notice_ = world.nameMessage().empty() ? name_ + " IS TAKEN: TRY ANOTHER" : world.nameMessage();
            return Outcome::Open;
        case world::NameAnswer::Refused:
            waiting_ = false;
            notice_ = world.nameMessage().empty() ? name_ + " IS REFUSED: TRY ANOTHER" : world.nameMessage();
            return Outcome::Open;
        case world::NameAnswer::Offline:
            waiting_ = false;
            return Outcome::Offline;
        case world::NameAnswer::None:
        case world::NameAnswer::Pending:
            break;
    }
    return Outcome::Open;
}

NameEntry::Outcome NameEntry::typeFromKeys() {
    const int key = Kiln_getPushedPhysicalKey();
    switch (key) {
        case -1:
            return Outcome::Open;
        case KEY_RETURN:
            confirm();
            return Outcome::Open;
        case KEY_BACKSPACE:
            erase();
            return Outcome::Open;
        case KEY_SPACE:
            return activate(column_, row_);
        case kKeyUp:
            moveCursor(0, -1);
            return Outcome::Open;
        case kKeyDown:
            moveCursor(0, 1);
            return Outcome::Open;
        case kKeyLeft:
            moveCursor(-1, 0);
            return Outcome::Open;
        case kKeyRight:
            moveCursor(1, 0);
            return Outcome::Open;
        default:
            break;
    }
    if (const char letter = letterOfKey(key)) type(letter);
    return Outcome::Open;
}

NameEntry::Outcome NameEntry::useController() {
    if (Kiln_isPadPushed(PAD_UP)) moveCursor(0, -1);
    if (Kiln_isPadPushed(PAD_DOWN)) moveCursor(0, 1);
    if (Kiln_isPadPushed(PAD_LEFT)) moveCursor(-1, 0);
    if (Kiln_isPadPushed(PAD_RIGHT)) moveCursor(1, 0);
    if (Kiln_isPadPushed(PAD_B)) erase();
    // Start sends the name from anywhere in the grid.
    if (Kiln_isPadPushed(PAD_PAUSE)) {
        confirm();
        return Outcome::Open;
    }
    if (Kiln_isPadPushed(PAD_A)) return activate(column_, row_);
    return Outcome::Open;
}

NameEntry::Outcome NameEntry::useMouse() {
    if (!pointer_.update()) return Outcome::Open;
    const int x = pointer_.x();
    const int y = pointer_.y();
    const bool clicked = pointer_.clicked();
    for (int row = 0; row <= kActionRow; ++row) {
        const int columns = row == kActionRow ? ACTION_COUNT : NAME_GRID_COLUMNS;
        for (int column = 0; column < columns; ++column) {
            const CellBox box = cellBox(column, row);
            if (x < box.x || x >= box.x + box.width || y < box.y || y >= box.y + box.height) continue;
            // The highlight follows the pointer only when it moves, so a resting pointer never overrules the keys.
            column_ = column;
            row_ = row;
            return clicked ? activate(column, row) : Outcome::Open;
        }
    }
    return Outcome::Open;
}

NameEntry::Outcome NameEntry::activate(int column, int row) {
    if (row < kActionRow) {
        type(NAME_LETTERS[row * NAME_GRID_COLUMNS + column]);
        return Outcome::Open;
    }
    switch (column) {
        case ACTION_DELETE:
            erase();
            break;
        case ACTION_OK:
            confirm();
            break;
        default:
            return Outcome::Cancelled;
    }
    return Outcome::Open;
}

void NameEntry::moveCursor(int columns, int rows) {
    if (rows != 0) {
        const int target = (row_ + rows + kActionRow + 1) % (kActionRow + 1);
        // Between the letters and the actions the cursor keeps to the part of the screen it was in.
        if (target == kActionRow && row_ != kActionRow) column_ = actionColumnUnder(column_);
        if (row_ == kActionRow && target != kActionRow) column_ = letterColumnOver(column_);
        row_ = target;
    }
    const int width = row_ == kActionRow ? ACTION_COUNT : NAME_GRID_COLUMNS;
    column_ = (column_ + columns + width) % width;
}

void NameEntry::draw() const {
    Kiln_drawText("YOUR NAME", 212, kHeadingY, 3.0f, 255, 255, 255, 255);
    drawText(name_, kNameX, kNameY, 255, 255, 255);
    // A bar where the next letter goes, while there is room for one.
    if (!waiting_ && name_.size() < PLAYER_NAME_MAX) {
        const int x = kNameX + static_cast<int>(name_.size()) * kGlyphPixels;
        Kiln_drawRect(x, kNameY + kGlyphPixels + 2, kGlyphPixels, 3, 0, 0.0f, 255, 255, 255, 255);
    }
    for (int row = 0; row <= kActionRow; ++row) {
        const int columns = row == kActionRow ? ACTION_COUNT : NAME_GRID_COLUMNS;
        for (int column = 0; column < columns; ++column) {
            const CellBox box = cellBox(column, row);
            const bool highlighted = column == column_ && row == row_ && !waiting_;
            if (highlighted) Kiln_drawRect(box.x, box.y, box.width, box.height, 0, 0.0f, 32, 64, 160, 255);
            const std::string label =
                row == kActionRow ? ACTION_LABELS[column] : std::string(1, NAME_LETTERS[row * NAME_GRID_COLUMNS + column]);
            const int textX = box.x + (box.width - static_cast<int>(label.size()) * kGlyphPixels) / 2;
            drawText(label, textX, box.y + (box.height - kGlyphPixels) / 2, 255, 255, highlighted ? 255 : 200);
        }
    }
    if (!notice_.empty()) drawText(notice_, 32, kNoticeY, 255, 224, 64);
    drawText(waiting_ ? "ESCAPE:CANCEL" : "RETURN:OK  BACKSPACE:DELETE  ESCAPE:CANCEL", 32, kHelpY, 160, 160, 160);
}
