// The scene machine: owns the one live scene and swaps it, only at the start
// of a frame, for the one its message names.
#include "state/scene_machine.h"

#include "kiln2/kiln2.h"
#include "state/live_run_main.h"
#include "state/logo_main.h"
#include "state/options_main.h"
#include "state/theatre_main.h"
#include "state/title_main.h"
#include "state/world_table_main.h"

namespace {

std::unique_ptr<GameState> currentScene;
SceneFactory firstScene = nullptr;

}  // namespace

bool stepScene() {
    bool keepRunning = true;
    if (!currentScene) {
        currentScene = firstScene ? firstScene() : std::make_unique<LogoMain>();
        Kiln_log("Exec loop.\n");
    } else {
        // Read unsigned so that negative messages fall with the unknown ones.
        switch (static_cast<unsigned>(currentScene->getMessage())) {
            case MSG_NONE:
                break;
            case MSG_LOGO:
                currentScene = std::make_unique<LogoMain>();
                break;
            case MSG_TITLE:
                currentScene = std::make_unique<TitleMain>();
                break;
            case MSG_GAME:
                currentScene = std::make_unique<LiveRunMain>();
                break;
            case MSG_OPTIONS:
                currentScene = std::make_unique<OptionsMain>();
                break;
            case MSG_THEATRE:
                currentScene = std::make_unique<TheatreMain>();
                break;
            case MSG_WORLD_TABLE:
                currentScene = std::make_unique<WorldTableMain>();
                break;
            default:
                keepRunning = false;
                Kiln_log("Unknown msg at loop.");
                break;
        }
    }
    currentScene->update();
    currentScene->draw();
    return keepRunning;
}

void setFirstScene(SceneFactory factory) { firstScene = factory; }

std::unique_ptr<GameState> makeTheatreMain() { return std::make_unique<TheatreMain>(); }

GameState* currentSceneForTest() { return currentScene.get(); }

void resetSceneMachine() {
    currentScene.reset();
    firstScene = nullptr;
}
