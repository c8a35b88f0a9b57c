// A world service for the scene tests: it answers from tables the test
// fills in and notes every request a scene makes, so a test can say what
// the world answers and check what the scenes asked of it.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "headless_scene.h"
#include "world/world_service.h"

class FakeWorldService final : public world::WorldService {
public:
    // The answers.
    world::Reach reachNow = world::Reach::Online;
    std::string registeredName;
    std::map<int, world::WorldStanding> standings;
    std::map<int, world::WorldTable> tables;
    std::map<int, world::WorldEntry> above, best;
    // What registerName's calls are answered with, one each in order (then Accepted).
    std::deque<world::NameAnswer> nameAnswers;
    std::string refusal;
    world::NameAnswer answer = world::NameAnswer::None;
    std::optional<int> recordRank;
    // The replays in the cache, and those a fetchReplay brings there at once.
    std::map<std::string, world::CachedReplay> cache, fetchable;

    // The requests.
    std::vector<int> refreshed, begun;
    std::vector<std::pair<int, std::string>> sent;
    std::vector<std::string> registered, fetched;
    int turnedOff = 0;

    world::Reach reach() const override { return reachNow; }
    std::string playerName() const override { return registeredName; }
    void refreshStage(int stage) override { refreshed.push_back(stage); }
    std::optional<world::WorldStanding> standing(int stage) const override { return find(standings, stage); }
    std::optional<world::WorldTable> table(int stage) const override { return find(tables, stage); }
    std::optional<world::WorldEntry> entryAbovePlayer(int stage) const override { return find(above, stage); }
    std::optional<world::WorldEntry> worldBest(int stage) const override { return find(best, stage); }
    void registerName(const std::string& name) override {
        registered.push_back(name);
        answer = nameAnswers.empty() ? world::NameAnswer::Accepted : nameAnswers.front();
        if (!nameAnswers.empty()) nameAnswers.pop_front();
        if (answer == world::NameAnswer::Accepted) registeredName = name;
    }
    void turnOff() override {
        ++turnedOff;
        reachNow = world::Reach::Off;
    }
    world::NameAnswer nameAnswer() const override { return answer; }
    std::string nameMessage() const override { return answer == world::NameAnswer::Accepted ? "" : refusal; }
    void beginLiveRun(int stage) override { begun.push_back(stage); }
    bool sendRecord(int stage, const std::string& replayFile) override {
        sent.emplace_back(stage, replayFile);
        recordRank.reset();
        return true;
    }
    std::optional<int> lastRecordRank() const override { return recordRank; }
    void fetchReplay(const world::WorldEntry& entry, int) override {
        fetched.push_back(entry.runId);
        if (auto found = fetchable.find(entry.runId); found != fetchable.end()) cache[entry.runId] = found->second;
    }
    std::optional<world::CachedReplay> cachedReplay(const std::string& runId) const override {
        return find(cache, runId);
    }

private:
    template <typename Key, typename Value>
    static std::optional<Value> find(const std::map<Key, Value>& table, const Key& key) {
        auto found = table.find(key);
        if (found == table.end()) return std::nullopt;
        return found->second;
    }
};

// The headless scenes with a fresh fake installed as their world, and the
// offline service put back when the test ends.
class HeadlessWorldScene : public HeadlessScene {
protected:
    void SetUp() override {
        HeadlessScene::SetUp();
        auto fake = std::make_unique<FakeWorldService>();
        world = fake.get();
        world::installService(std::move(fake));
    }

    void TearDown() override {
        world::installService(nullptr);
        HeadlessScene::TearDown();
    }

    // One frame of a scene with keys tapped: down in this frame's snapshot, released before the next.
    template <typename Scene>
    static void tap(Scene& scene, std::initializer_list<int> keys) {
        for (int key : keys) setKey(key, true);
        Kiln_waitFrame(16);
        scene.update();
        for (int key : keys) setKey(key, false);
        Kiln_waitFrame(16);
    }

    FakeWorldService* world = nullptr;
};
