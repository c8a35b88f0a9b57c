#include "ghost_view.h"

#include "screenshot.h"

namespace e2e {

namespace {

// The pause panel's dark blue fills the middle of the picture.
bool showsPanel(SDL_Surface* shown) {
    return countPixels(shown, 200, 300, 440, 340, [](Rgb c) { return c.b > 40 && c.b > c.r + 20; }) > 5000;
}

// Takes pictures until one shows the pause panel; null when none does.
template <typename Take>
SDL_Surface* waitForPanel(Take take) {
    SDL_Surface* picture = nullptr;
    const bool shown = waitUntil([&] {
        if (picture != nullptr) SDL_FreeSurface(picture);
        picture = take();
        return picture != nullptr && showsPanel(picture);
    });
    if (shown) return picture;
    if (picture != nullptr) SDL_FreeSurface(picture);
    return nullptr;
}

}  // namespace

SDL_Surface* pictureWithTheCraftsApart(GameProcess& game, const WorkDir& dir, const std::string& window,
                                       std::string* why) {
    {
        Xclock other;
        if (other.window().empty()) {
            *why = "xclock did not open (scripts/setup.sh installs x11-apps)";
            return nullptr;
        }
        focusWindow(other.window());
        SDL_Surface* away = waitForPanel([&] { return captureWindow(dir, window); });
        if (away == nullptr) {
            *why = "looking away did not pause the run; log: " + game.runLog();
            return nullptr;
        }
        SDL_FreeSurface(away);
        // Back in the game: UP held, B goes on and B again pauses.
        focusWindow(window);
        holdKey(window, "Up", true);
        pressKeyTwice(window, "x", std::chrono::milliseconds(250));
        holdKey(window, "Up", false);
    }
    SDL_Surface* paused = waitForPanel([&] { return takeScreenshot(dir, window); });
    if (paused == nullptr) *why = "the run never showed its pause again; log: " + game.runLog();
    return paused;
}

int ghostPixels(SDL_Surface* picture) {
    return countPixels(picture, 0, 56, 150, 455,
                       [](Rgb c) { return c.r >= 70 && c.r <= 100 && c.g >= 30 && c.g <= 70 && c.b <= 35; });
}

}  // namespace e2e
