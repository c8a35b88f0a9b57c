// The scene machine: one live scene at a time, replaced at the start of a
// frame when the current scene has posted a message.
#pragma once

#include <memory>

#include "scene/game_state.h"

// Loads the textures every scene shares ("font" keyed white, "menu" keyed green).
void loadSharedResources();

// One frame: replace the scene if it asked, then update and draw it.
// Returns false when the main loop should end after this frame.
bool stepScene();

// The scene the first stepScene() starts with; a LogoMain unless a developer
// mode (such as the toolbox screen) asks for another before the loop starts.
using SceneFactory = std::unique_ptr<GameState> (*)();
void setFirstScene(SceneFactory factory);

// The theatre, watching the pending request: the first scene of "--watch".
std::unique_ptr<GameState> makeTheatreMain();

// The live scene, or null before the first step (for tests).
GameState* currentSceneForTest();

// Drop the live scene and forget the first-scene choice (for tests).
void resetSceneMachine();
