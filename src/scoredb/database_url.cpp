#include "scoredb/database_url.h"

#include <cstdlib>
#include <stdexcept>

namespace scoredb {

DatabaseUrl parseDatabaseUrl(const std::string& url) {
    if (url.rfind("sqlite:", 0) == 0) {
        std::string path = url.substr(7);
        if (path.empty()) throw std::invalid_argument("sqlite: needs a file path");
        return {DatabaseUrl::Kind::Sqlite, path};
    }
    if (url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0) {
        return {DatabaseUrl::Kind::Postgres, url};
    }
    throw std::invalid_argument("the database must be sqlite:PATH or postgresql://...: " + url);
}

std::string defaultDatabaseUrl() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.local/share";
    }
    return "sqlite:" + base + "/kvr2013-scores/scores.db";
}

}  // namespace scoredb
