// One connection to the score database, SQLite or PostgreSQL, behind the one
// interface the score store's SQL is written against. Statements use $1, $2
// ... placeholders in both; the SQLite side rewrites them to ?1, ?2.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace scoredb {

// Bytes stored as a BLOB / BYTEA, not as text.
struct SqlBlob {
    std::string bytes;
};

using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string, SqlBlob>;
// A cell as text (numbers in decimal) or raw bytes for a blob; nullopt for NULL.
using SqlCell = std::optional<std::string>;
using SqlRow = std::vector<SqlCell>;
using SqlRows = std::vector<SqlRow>;

// The database could not be reached or refused a statement. The message is
// for the server's log, never for a client.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class SqlDialect { Sqlite, Postgres };

class SqlConnection {
public:
    virtual ~SqlConnection() = default;
    virtual SqlDialect dialect() const = 0;
    // Runs one statement with its parameters and returns every row it gives.
    virtual SqlRows query(std::string_view sql, const std::vector<SqlValue>& params = {}) = 0;
    // Runs several statements with no parameters (a migration).
    virtual void execScript(std::string_view sql) = 0;
    // Opens a transaction that takes the write lock at once, so two
    // processes migrating together wait for each other instead of failing.
    virtual void beginExclusive() = 0;
    // A write transaction: SQLite takes its write lock at the start, so two
    // writers never deadlock upgrading from a read.
    virtual void beginWrite() = 0;
    void commit() { execScript("COMMIT"); }
    void rollback() { execScript("ROLLBACK"); }
};

std::int64_t cellInt(const SqlCell& cell);
std::string cellText(const SqlCell& cell);

}  // namespace scoredb
