#include "world/world_service.h"

namespace world {

namespace {

class OfflineService final : public WorldService {
public:
    explicit OfflineService(Reach reach) : reach_(reach) {}

    Reach reach() const override { return reach_; }
    std::string playerName() const override { return {}; }
    void refreshStage(int) override {}
    std::optional<WorldStanding> standing(int) const override { return std::nullopt; }
    std::optional<WorldTable> table(int) const override { return std::nullopt; }
    std::optional<WorldEntry> entryAbovePlayer(int) const override { return std::nullopt; }
    std::optional<WorldEntry> worldBest(int) const override { return std::nullopt; }
    void registerName(const std::string&) override {}
    void turnOff() override {}
    NameAnswer nameAnswer() const override { return NameAnswer::None; }
    std::string nameMessage() const override { return {}; }
    void beginLiveRun(int) override {}
    bool sendRecord(int, const std::string&) override { return true; }
    std::optional<int> lastRecordRank() const override { return std::nullopt; }
    void fetchReplay(const WorldEntry&, int) override {}
    std::optional<CachedReplay> cachedReplay(const std::string&) const override { return std::nullopt; }

private:
    Reach reach_;
};

std::unique_ptr<WorldService>& installed() {
    static std::unique_ptr<WorldService> current = makeOfflineService();
    return current;
}

}  // namespace

WorldService& service() { return *installed(); }

void installService(std::unique_ptr<WorldService> replacement) {
    installed() = replacement ? std::move(replacement) : makeOfflineService();
}

std::unique_ptr<WorldService> makeOfflineService(Reach reach) { return std::make_unique<OfflineService>(reach); }

}  // namespace world
