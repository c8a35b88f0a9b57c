// GameMain: the scene of one run. It holds the run state and the whole play
// field in fixed pools inside the object, and a phase value that decides,
// frame by frame, which operations update() and draw() call.
//
// The operations live in several files by concern: game_main.cpp (phase
// machine, pause), run_start.cpp, ready_results.cpp, hud.cpp, player.cpp,
// course.cpp, collisions.cpp, effects.cpp.
//
// Data members are public on purpose: the HUD, the replay verifier's trace
// and the tests read the run state directly, and only the operations below
// write it.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "config/config_parser.h"
#include "gamecore/play_object.h"
#include "keypad/keypad.h"
#include "kiln2/kiln2.h"
#include "scene/game_state.h"

// What a run is told instead of reading "config.ini" and "replay/": the
// headless replay verifier, the theatre and the ghost play a given file for a
// given stage and hi-score (a run told no file is flown live).
struct RunSettingsOverride {
    int stage = 0;
    int hiScore = 0;
    std::string replayFile;
};

class GameMain : public GameState {
public:
    enum SCENE { INIT = 0, READY = 1, PLAY = 2, RESULTS = 3, STOP = 4, PAUSE = 5, EXIT = 6, END = 7 };
    enum COLLSION_TYPE { PLAYER = 1, BARRIER = 2, ENEMY = 3, WALL = 4, ITEM = 5 };
    enum EFFECT_KIND { DEBRIS = 0, SPARK = 1, SCORE_POPUP = 2, FLASH = 3 };

    static constexpr int ITEM_CAPACITY = 20;
    static constexpr int WALL_CAPACITY = 1200;
    static constexpr int ENEMY_CAPACITY = 20;
    static constexpr int EFFECT_CAPACITY = 200;
    static constexpr int COLLIDER_CAPACITY = 800;

    GameMain();
    explicit GameMain(const RunSettingsOverride& override);
    ~GameMain() override;

    void update() override;
    void draw() override;

    // Phases (game_main.cpp, run_start.cpp, ready_results.cpp, hud.cpp)
    virtual void init();
    virtual void exitGame();
    virtual void updateReady();
    virtual void drawReady();
    virtual void updateResults();
    virtual void drawResults();
    virtual void drawStop();
    virtual int getScreenWidth();
    virtual int getScreenHeight();
    virtual std::string padZeros(const std::string& s, int width);
    virtual void updateRun();
    virtual void drawHud();
    virtual void updatePause();
    virtual void drawPause();
    // Asks for the pause when the window lost the focus or a controller was
    // pulled out, during a live run's countdown or play.
    virtual void pauseWhenAway();

    // The craft (player.cpp)
    virtual void initPlayer(int kind, int x, int y);
    virtual void updatePlayer();
    virtual void onPlayerMiss(Collider player, Collider other);
    virtual void crashPlayer();
    virtual void drawPlayer();

    // The course (course.cpp)
    virtual void spawnWall(int kind, int x, int y);
    virtual void resetCourse();
    virtual void updateCourse();
    virtual void drawWalls();
    virtual void spawnItem(int kind, int x, int y);
    virtual void updateItems();
    virtual void onItemGet(Collider item, Collider player);
    virtual void drawItems();
    virtual void spawnEnemy(int kind, int x, int y);
    virtual void updateEnemies();
    virtual void onEnemyBreak(Collider enemy, Collider barrier);
    virtual void drawEnemies();

    // Effects and screen feedback (effects.cpp)
    virtual void spawnEffect(int kind, int x, int y, int angle, int speed, int value = 0);
    virtual void updateEffects();
    virtual void drawEffects(int layer);

    // Collisions (collisions.cpp)
    // Final: the collision list is the play field's own bookkeeping, and its
    // registrations from the per-frame loops compile inline.
    virtual void addCollider(int type, int index, int x, int y, int width, int height) final;
    virtual void resolveCollisions();
    virtual void clearColliders();
    virtual void drawColliders();
    virtual PlayObject* getPlayObject(int type, int index);
    virtual void polarToVector(int angle, int length, int& along, int& across);

    virtual void startShake(int frames);
    virtual void updateShake();
    virtual void startHitStop(int frames);
    virtual void updateHitStop();
    virtual void startSlowMotion(int frames);
    virtual void updateSlowMotion();

    // Counts of live objects, for the verifier's trace and the tests.
    int liveWalls() const;
    int liveItems() const;
    int liveEnemies() const;
    int liveEffects() const;

    // ---- Run state, in the order the game scene declares it ----
    int trailLength = TRAIL_LENGTH;
    int colliderCapacity = COLLIDER_CAPACITY;
    Collider colliders[COLLIDER_CAPACITY];
    // Entries in use this frame: the list only grows within a frame, so the
    // first free entry is always colliderCount (the free-slot rule without a scan).
    int colliderCount = 0;
    // The entries of each kind that takes part in a test, in list order, noted
    // as they are added: the boxes that start tests (player, barrier, item)
    // and the boxes they look for (players, enemies, walls).
    struct ColliderIndex {
        int count = 0;
        int entries[COLLIDER_CAPACITY];
        void add(int entry) { entries[count++] = entry; }
    };
    ColliderIndex starterBoxes, playerBoxes, enemyBoxes, wallBoxes;
    std::unique_ptr<ConfigParser> config;
    int phase = INIT;
    int readyTimer = 0;
    int resultsTimer = 0;
    int score = 0;
    std::array<int, 4> hiScores{};
    int scrollPos = 0;
    int pauseCursor = 0;
    int stage = 0;
    int maxEnergy = 10000;
    int itemCapacity = ITEM_CAPACITY;
    int wallCapacity = WALL_CAPACITY;
    int enemyCapacity = ENEMY_CAPACITY;
    int effectCapacity = EFFECT_CAPACITY;
    PlayerObject player;
    PlayObject walls[WALL_CAPACITY];
    // One past the highest wall slot ever filled in this run. Walls enter only
    // through spawnWall, so every slot from here up is still free, and the
    // per-frame wall loops stop here: the same walls in the same order as a
    // scan of all 1200 slots, for a fraction of the work.
    int wallScanEnd = 0;
    PlayObject items[ITEM_CAPACITY];
    PlayObject enemies[ENEMY_CAPACITY];
    PlayObject effects[EFFECT_CAPACITY];
    int subPixels = SUB_PIXELS;
    int scrollSpeed = 100;
    int stageGoal = 100;
    int pixelsPerTenMetres = 100;
    int shakeFrames = 0;
    int shakeOffsetX = 0;
    int shakeOffsetY = 0;
    int hitStopFrames = 0;
    int slowMotionFrames = 0;
    int frameCounter = 0;
    int replayMode = 0;
    int showColliders = 0;
    std::unique_ptr<Keypad> keypad;
    int barrierCost = 2000;
    // Course generator
    int patternTimer = 0;
    int columnTimer = 0;
    int columnInterval = 0;
    int spacingLevel = 0;
    int holeLevel = 0;
    int holeCount = 0;

    // Pause bookkeeping: a pause asked for during a play step begins after
    // that frame's timers have run, so the frame is the same as in a replay.
    // One asked for during the countdown begins after its last frame.
    bool pauseRequested = false;

    // The run's own random sequence: update and draw make it the active
    // generator, so another run in the same process never moves it.
    KilnRandom random;

    // Set only by the verifier's constructor.
    bool hasOverride = false;
    RunSettingsOverride settingsOverride;
};

// The list only grows during a frame, so the first free entry is the count;
// a full list drops the box. Defined here so the per-frame loops of every
// play-field file compile it inline.
inline void GameMain::addCollider(int type, int index, int x, int y, int width, int height) {
    const int capacity = colliderCapacity < COLLIDER_CAPACITY ? colliderCapacity : COLLIDER_CAPACITY;
    if (colliderCount >= capacity) {
        return;
    }
    const int slot = colliderCount++;
    Collider& entry = colliders[slot];
    entry.active = 1;
    entry.type = type;
    entry.index = index;
    entry.x = x;
    entry.y = y;
    entry.width = width;
    entry.height = height;
    switch (type) {
        case WALL: wallBoxes.add(slot); break;
        case ENEMY: enemyBoxes.add(slot); break;
        case PLAYER:
            playerBoxes.add(slot);
            starterBoxes.add(slot);
            break;
        case BARRIER:
        case ITEM: starterBoxes.add(slot); break;
        default: break;
    }
}
