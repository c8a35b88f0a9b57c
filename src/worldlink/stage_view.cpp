#include "worldlink/stage_view.h"

#include <algorithm>

namespace worldlink {

namespace {

constexpr std::size_t kTopRows = 10;

}  // namespace

StageView stageView(const std::vector<world::WorldEntry>& entries, const AroundAnswer& around) {
    StageView view;
    view.table.entries = static_cast<int>(entries.size());
    view.table.top.assign(entries.begin(), entries.begin() + static_cast<long>(std::min(kTopRows, entries.size())));
    view.standing.entries = view.table.entries;
    view.standing.rank = around.rank;
    if (!entries.empty()) {
        view.best = entries.front();
        view.standing.bestScore = entries.front().score;
        view.standing.bestPlayer = entries.front().player;
    }
    if (around.rank > 0) {
        view.table.around = around.entries;
        for (std::size_t i = 0; i < around.entries.size(); ++i) {
            if (around.entries[i].rank != around.rank) continue;
            view.own = around.entries[i];
            if (i > 0) view.above = around.entries[i - 1];
        }
    } else if (!entries.empty()) {
        view.above = entries.back();
    }
    return view;
}

}  // namespace worldlink
