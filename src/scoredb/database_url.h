// Where the scores live: "sqlite:PATH" or a "postgresql://" / "postgres://"
// connection URI.
#pragma once

#include <string>

namespace scoredb {

struct DatabaseUrl {
    enum class Kind { Sqlite, Postgres } kind = Kind::Sqlite;
    std::string target;  // the SQLite file, or the whole PostgreSQL URI
};

// Throws std::invalid_argument with a readable message for anything else.
DatabaseUrl parseDatabaseUrl(const std::string& url);

// sqlite:$XDG_DATA_HOME/kvr2013-scores/scores.db, or under ~/.local/share
// when XDG_DATA_HOME is unset or not absolute (the XDG rule).
std::string defaultDatabaseUrl();

}  // namespace scoredb
