// What the scenes know of the world score server, and the only way they
// reach it. Every call returns at once: the real service (worldlink, which
// boot installs) does its network work on a worker thread and the scenes
// read its latest answers each frame, so no frame ever waits for the
// network. With ONLINE off, or no server set, the installed service is the
// offline one, and the game is exactly the game without a world.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace world {

// How the world is reachable now, for the one quiet line the screens show.
enum class Reach {
    Off,       // ONLINE is off: the screens show nothing of the world
    NoServer,  // ONLINE cannot be on: "NO SERVER SET"
    Joining,   // a name is being registered or the first answer is awaited
    Online,
    Offline,   // the last exchange failed: "WORLD: OFFLINE"
};

struct WorldEntry {
    int rank = 0;
    std::string player;
    int score = 0;
    int distance = 0;
    int frames = 0;
    bool live = false;
    std::string runId;
};

// The title's line for a stage: "WORLD #12 OF 340  BEST 99500 ACE".
struct WorldStanding {
    int rank = 0;     // 0 when the player has no entry on the stage
    int entries = 0;  // players on the stage's table
    int bestScore = 0;
    std::string bestPlayer;
};

// The world table screen's rows for a stage.
struct WorldTable {
    std::vector<WorldEntry> top;     // the first 10
    std::vector<WorldEntry> around;  // the player's row and those just above and below; empty without an entry
    int entries = 0;
};

// Registering a name, as the name screen waits for it.
enum class NameAnswer { None, Pending, Accepted, Taken, Refused, Offline };

// A world replay asked for by WATCH or RACE, once it is in the cache folder.
struct CachedReplay {
    std::string runId;
    int stage = 0;
    std::string path;  // a replay file the theatre or the ghost reads
    WorldEntry entry;
};

class WorldService {
public:
    virtual ~WorldService() = default;

    virtual Reach reach() const = 0;
    // The registered name, empty before one is accepted.
    virtual std::string playerName() const = 0;

    // Asks again for what the screens show of a stage; the answers replace
    // the ones below when they come.
    virtual void refreshStage(int stage) = 0;
    virtual std::optional<WorldStanding> standing(int stage) const = 0;
    virtual std::optional<WorldTable> table(int stage) const = 0;
    // The entry just above the player's on the stage, and the world best:
    // the runs GHOST = NEXT and GHOST = WORLD race.
    virtual std::optional<WorldEntry> entryAbovePlayer(int stage) const = 0;
    virtual std::optional<WorldEntry> worldBest(int stage) const = 0;

    // Turning ONLINE on: makes the key on first use and registers name;
    // once accepted, reach() leaves Off.
    virtual void registerName(const std::string& name) = 0;
    // Turning ONLINE off: nothing more is asked or sent (the outbox keeps
    // what it holds for the next time ONLINE is on) and reach() is Off.
    virtual void turnOff() = 0;
    virtual NameAnswer nameAnswer() const = 0;
    // The server's message for the last refused name, for the name screen.
    virtual std::string nameMessage() const = 0;

    // A live run's countdown has begun on stage: ask for its start token.
    virtual void beginLiveRun(int stage) = 0;
    // A record was saved as replayFile: put it in the outbox (a durable
    // copy, before anything is sent) and send it with the run's token if it
    // came in time. Returns false when the outbox could not keep it.
    virtual bool sendRecord(int stage, const std::string& replayFile) = 0;
    // The world rank of the record last sent, once the server accepted it.
    virtual std::optional<int> lastRecordRank() const = 0;

    // WATCH and RACE: download a world entry's replay once into the cache
    // folder; cachedReplay answers once it is there.
    virtual void fetchReplay(const WorldEntry& entry, int stage) = 0;
    virtual std::optional<CachedReplay> cachedReplay(const std::string& runId) const = 0;
};

// The service the scenes use: the offline one until boot installs another.
WorldService& service();
void installService(std::unique_ptr<WorldService> replacement);

// No server set (NoServer), or none installed yet (Off): every answer
// empty, every request dropped.
std::unique_ptr<WorldService> makeOfflineService(Reach reach = Reach::Off);

}  // namespace world
