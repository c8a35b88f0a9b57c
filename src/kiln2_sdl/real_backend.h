// The real machine behind the framework: an SDL2 window with an OpenGL
// context, SDL's clock, keyboard, mouse and joysticks, and SDL_mixer sound.
// Only the game's own executable links this library; the replay verifier and
// the tests of the play field run on the headless backend without it.
#pragma once

#include <memory>

#include "kiln2/backend.h"

// Installs the real backend; call before Kiln_init.
void Kiln_useRealBackend();

// The real backend whole, and its four parts for tests that mix them with headless ones.
std::unique_ptr<KilnBackend> kilnMakeRealBackend();
std::unique_ptr<KilnVideo> kilnMakeSdlGlVideo();
// The window as on a driver without framebuffer objects: the scenes draw
// straight into it through a viewport over the picture's place.
std::unique_ptr<KilnVideo> kilnMakeSdlGlVideoWithoutPicture();
std::unique_ptr<KilnInput> kilnMakeSdlInput();
std::unique_ptr<KilnJoystickDevices> kilnMakeSdlJoysticks();
std::unique_ptr<KilnAudio> kilnMakeSdlAudio();
