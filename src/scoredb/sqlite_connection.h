// SQLite: one file, write-ahead log, every commit synced to disk before it
// returns (a 201 means the entry survives a power cut), and a busy timeout
// so several processes on one file wait for each other's writes.
#pragma once

#include <memory>
#include <string>

#include "scoredb/sql_connection.h"

namespace scoredb {

std::unique_ptr<SqlConnection> openSqlite(const std::string& path);

}  // namespace scoredb
