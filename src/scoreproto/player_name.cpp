// Names are checked byte by byte in ASCII on purpose: the font has no other
// glyphs, and a locale-aware test would let look-alike letters in.
#include "scoreproto/player_name.h"

namespace scoreproto {

namespace {

bool isNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

}  // namespace

bool isValidPlayerName(std::string_view name) {
    if (name.empty() || name.size() > kMaxPlayerNameLength) return false;
    for (char c : name) {
        if (!isNameCharacter(c)) return false;
    }
    return true;
}

std::string nameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

}  // namespace scoreproto
