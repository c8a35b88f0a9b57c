// PostgreSQL through libpq. A connection that drops (the server restarted)
// is reset and the statement tried once more, so a running score server
// rides over a database restart.
#pragma once

#include <memory>
#include <string>

#include "scoredb/sql_connection.h"

namespace scoredb {

// url: a libpq connection URI; "postgresql://" alone takes everything from
// the PG* environment variables.
std::unique_ptr<SqlConnection> openPostgres(const std::string& url);

}  // namespace scoredb
