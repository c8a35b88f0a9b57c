// Recently rendered stage tables and pages, kept for a moment: ranking each
// player's best on every read costs the database far more than the answer
// costs to send. This process's own new entries drop the cache at once;
// another process's (or an admin command's) show within maxAge.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

namespace scoreserver {

class TableCache {
public:
    explicit TableCache(std::chrono::milliseconds maxAge) : maxAge_(maxAge) {}
    // The cached text of key, or render()'s, then kept.
    std::string get(const std::string& key, const std::function<std::string()>& render);
    void clear();

private:
    struct Entry {
        std::string text;
        std::chrono::steady_clock::time_point made;
        unsigned long generation;
    };
    std::chrono::milliseconds maxAge_;
    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
    unsigned long generation_ = 0;
};

}  // namespace scoreserver
