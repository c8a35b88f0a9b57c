// Reading what the game shows: an F12 screenshot taken through a real key
// press, loaded once the game has written it whole; a capture of the whole
// window as the X server shows it (bars and all); and their pixels.
#pragma once

#include <SDL.h>

#include <filesystem>
#include <functional>
#include <string>

#include "e2e_support.h"

namespace e2e {

struct Rgb {
    int r, g, b;
};

// Presses F12 in the game's window and loads the new numbered PNG that
// appears in screenshots (the screenshots/ folder of the player's data
// directory); null when none appeared in time. The caller frees the surface.
SDL_Surface* takeScreenshot(const std::filesystem::path& screenshots, const std::string& window);
// The same for a game whose player's files are its working directory.
SDL_Surface* takeScreenshot(const WorkDir& dir, const std::string& window);

Rgb pixelAt(SDL_Surface* surface, int x, int y);

// The window's contents as the X server has them, through ImageMagick's
// "import" (no key press, so the focus stays where it is); null on failure.
SDL_Surface* captureWindow(const WorkDir& dir, const std::string& window);

// Where the 640x480 picture sits in a window: the same arithmetic the game
// uses, written out again so the tests check the game rather than trust it.
struct PictureRect {
    int x, y, width, height;
};
PictureRect expectedPicture(int windowWidth, int windowHeight, bool integer = false);

// The smallest rectangle holding every pixel brighter than a dark grey, as
// {x0, y0, x1, y1} with x1, y1 one past; all -1 when there is none.
struct Box {
    int x0, y0, x1, y1;
};
Box brightBox(SDL_Surface* surface);

// Pixels in [x0, x1) x [y0, y1) that are not black.
int litPixels(SDL_Surface* surface, int x0, int y0, int x1, int y1);

// True when the pause menu's dark blue panel covers the middle of a picture
// whose top-left corner is at (x, y) and whose scale is `scale`.
bool showsPauseMenu(SDL_Surface* surface, int x = 0, int y = 0, double scale = 1.0);
// How many pixels of the rectangle [x0, x1) x [y0, y1) the test accepts.
int countPixels(SDL_Surface* surface, int x0, int y0, int x1, int y1, const std::function<bool(Rgb)>& accept);

// True when the picture shows text in opaque white with its first cell's top
// left at (x, y), each pixel of the game's 8x8 font ("resource/font/font.bmp")
// drawn as a scale x scale block: every lit font pixel is white on screen and
// every unlit one is not.
bool showsWhiteText(SDL_Surface* surface, const std::string& text, int x, int y, int scale);

// With KVR_E2E_SHOTS set to a directory, keeps a copy of the last screenshot
// (a PNG) there as name, to look at after the run; does nothing otherwise.
void keepScreenshot(const WorkDir& dir, const std::string& name);

}  // namespace e2e
