#include "scoreserver/table_cache.h"

namespace scoreserver {

std::string TableCache::get(const std::string& key, const std::function<std::string()>& render) {
    auto now = std::chrono::steady_clock::now();
    unsigned long generation;
    {
        std::lock_guard lock(mutex_);
        auto found = entries_.find(key);
        if (found != entries_.end() && now - found->second.made < maxAge_) return found->second.text;
        generation = generation_;
    }
    // Rendered outside the lock; a table rendered while an entry was added
    // (the generation moved on) is answered but not kept.
    std::string text = render();
    std::lock_guard lock(mutex_);
    if (generation == generation_) entries_[key] = {text, now, generation};
    return text;
}

void TableCache::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    ++generation_;
}

}  // namespace scoreserver
