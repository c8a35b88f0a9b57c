// The schema as numbered steps. Each step runs once, in order, in its own
// transaction, and is recorded in schema_migrations; a database made by an
// older server is brought up to date when a newer one starts.
#pragma once

#include <string>
#include <vector>

#include "scoredb/sql_connection.h"

namespace scoredb {

struct Migration {
    int version;
    std::string sql;  // "{id}" stands for the dialect's auto-numbered key column
};

const std::vector<Migration>& migrations();

// The step's SQL for that dialect.
std::string migrationSql(const Migration& step, SqlDialect dialect);

// Applies the steps the database has not had yet, up to version upTo;
// returns how many ran.
int migrate(SqlConnection& connection, int upTo = 1 << 30);

}  // namespace scoredb
