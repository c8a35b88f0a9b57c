#include "scoredb/sqlite_connection.h"

#include <sqlite3.h>

#include <cctype>
#include <unordered_map>

namespace scoredb {
namespace {

constexpr int kBusyTimeoutMillis = 10000;

// $1 -> ?1: the placeholders of the shared SQL in SQLite's numbered form.
std::string sqliteSql(std::string_view sql) {
    std::string out(sql);
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] == '$' && std::isdigit(static_cast<unsigned char>(out[i + 1]))) out[i] = '?';
    }
    return out;
}

class SqliteConnection : public SqlConnection {
public:
    explicit SqliteConnection(const std::string& path) {
        int rc = sqlite3_open_v2(path.c_str(), &db_,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
            sqlite3_close(db_);
            throw DatabaseError("cannot open " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMillis);
        execScript("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
    }

    ~SqliteConnection() override {
        for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
        sqlite3_close(db_);
    }

    SqlDialect dialect() const override { return SqlDialect::Sqlite; }

    SqlRows query(std::string_view sql, const std::vector<SqlValue>& params) override {
        sqlite3_stmt* statement = prepared(sql);
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        for (std::size_t i = 0; i < params.size(); ++i) bind(statement, static_cast<int>(i + 1), params[i]);
        SqlRows rows;
        for (;;) {
            int rc = sqlite3_step(statement);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) {
                std::string message = sqlite3_errmsg(db_);
                sqlite3_reset(statement);
                throw DatabaseError("sqlite: " + message);
            }
            SqlRow row;
            int columns = sqlite3_column_count(statement);
            for (int c = 0; c < columns; ++c) row.push_back(cell(statement, c));
            rows.push_back(std::move(row));
        }
        sqlite3_reset(statement);
        return rows;
    }

    void execScript(std::string_view sql) override {
        char* error = nullptr;
        std::string text(sql);
        if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : sqlite3_errmsg(db_);
            sqlite3_free(error);
            throw DatabaseError("sqlite: " + message);
        }
    }

    void beginExclusive() override { execScript("BEGIN IMMEDIATE"); }
    void beginWrite() override { execScript("BEGIN IMMEDIATE"); }

private:
    sqlite3_stmt* prepared(std::string_view sql) {
        std::string key(sql);
        auto found = statements_.find(key);
        if (found != statements_.end()) return found->second;
        sqlite3_stmt* statement = nullptr;
        std::string text = sqliteSql(sql);
        if (sqlite3_prepare_v2(db_, text.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            throw DatabaseError(std::string("sqlite: ") + sqlite3_errmsg(db_));
        }
        statements_.emplace(std::move(key), statement);
        return statement;
    }

    static void bind(sqlite3_stmt* statement, int index, const SqlValue& value) {
        if (auto* number = std::get_if<std::int64_t>(&value)) {
            sqlite3_bind_int64(statement, index, *number);
        } else if (auto* real = std::get_if<double>(&value)) {
            sqlite3_bind_double(statement, index, *real);
        } else if (auto* text = std::get_if<std::string>(&value)) {
            sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
        } else if (auto* blob = std::get_if<SqlBlob>(&value)) {
            sqlite3_bind_blob(statement, index, blob->bytes.data(), static_cast<int>(blob->bytes.size()),
                              SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(statement, index);
        }
    }

    static SqlCell cell(sqlite3_stmt* statement, int column) {
        switch (sqlite3_column_type(statement, column)) {
            case SQLITE_NULL:
                return std::nullopt;
            case SQLITE_BLOB: {
                const void* data = sqlite3_column_blob(statement, column);
                int size = sqlite3_column_bytes(statement, column);
                return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
            }
            default: {
                const unsigned char* text = sqlite3_column_text(statement, column);
                int size = sqlite3_column_bytes(statement, column);
                return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
            }
        }
    }

    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace

std::unique_ptr<SqlConnection> openSqlite(const std::string& path) {
    return std::make_unique<SqliteConnection>(path);
}

}  // namespace scoredb
