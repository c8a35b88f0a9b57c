// Seeing a ghost on screen. At a run's first play frame the ghost and the
// live craft are one on top of the other, so the live craft is flown away
// first: looking away during the countdown pauses the run at its first play
// frame, and then UP held while B goes on and pauses again some 20 frames
// later parts the two crafts by what those frames alone decide, not by how
// quickly the test notices the countdown end.
#pragma once

#include <SDL.h>

#include <string>

#include "e2e_support.h"

namespace e2e {

// The game must be in a live run's countdown. Returns the paused picture
// (the caller frees it), or null with the reason in *why.
SDL_Surface* pictureWithTheCraftsApart(GameProcess& game, const WorkDir& dir, const std::string& window,
                                       std::string* why);

// The ghost's craft and trail: amber a third opaque over the black field,
// left of the pause panel.
int ghostPixels(SDL_Surface* picture);

}  // namespace e2e
