#include "scoredb/postgres_connection.h"

#include <libpq-fe.h>

namespace scoredb {
namespace {

// Type OIDs from PostgreSQL's catalog (pg_type.dat); libpq does not export them.
constexpr Oid kInt8Oid = 20, kTextOid = 25, kFloat8Oid = 701, kByteaOid = 17;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// bytea in text form is "\x" then two hex digits a byte.
std::string decodeBytea(const char* text, int size) {
    std::string bytes;
    if (size < 2 || text[0] != '\\' || text[1] != 'x') throw DatabaseError("unexpected bytea form");
    bytes.reserve(static_cast<std::size_t>(size - 2) / 2);
    for (int i = 2; i + 1 < size; i += 2) {
        bytes.push_back(static_cast<char>(hexDigit(text[i]) * 16 + hexDigit(text[i + 1])));
    }
    return bytes;
}

struct ResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

class PostgresConnection : public SqlConnection {
public:
    explicit PostgresConnection(const std::string& url) : conn_(PQconnectdb(url.c_str())) {
        if (PQstatus(conn_) != CONNECTION_OK) {
            std::string message = PQerrorMessage(conn_);
            PQfinish(conn_);
            throw DatabaseError("postgresql: " + message);
        }
        quiet();
    }
    ~PostgresConnection() override { PQfinish(conn_); }

    SqlDialect dialect() const override { return SqlDialect::Postgres; }

    SqlRows query(std::string_view sql, const std::vector<SqlValue>& params) override {
        std::string text(sql);
        std::vector<std::string> storage(params.size());
        std::vector<const char*> values(params.size());
        std::vector<int> lengths(params.size()), formats(params.size());
        std::vector<Oid> types(params.size());
        for (std::size_t i = 0; i < params.size(); ++i) {
            const SqlValue& value = params[i];
            if (auto* number = std::get_if<std::int64_t>(&value)) {
                storage[i] = std::to_string(*number);
                types[i] = kInt8Oid;
            } else if (auto* real = std::get_if<double>(&value)) {
                storage[i] = std::to_string(*real);
                types[i] = kFloat8Oid;
            } else if (auto* string = std::get_if<std::string>(&value)) {
                storage[i] = *string;
                types[i] = kTextOid;
            } else if (auto* blob = std::get_if<SqlBlob>(&value)) {
                storage[i] = blob->bytes;
                types[i] = kByteaOid;
                formats[i] = 1;
            }
            values[i] = std::holds_alternative<std::monostate>(value) ? nullptr : storage[i].data();
            lengths[i] = static_cast<int>(storage[i].size());
        }
        auto run = [&] {
            return Result(PQexecParams(conn_, text.c_str(), static_cast<int>(params.size()), types.data(),
                                       values.data(), lengths.data(), formats.data(), 0));
        };
        Result result = run();
        if (lostConnection(result.get())) result = run();
        return rows(result.get());
    }

    void execScript(std::string_view sql) override {
        std::string text(sql);
        Result result(PQexec(conn_, text.c_str()));
        if (lostConnection(result.get())) result.reset(PQexec(conn_, text.c_str()));
        rows(result.get());
    }

    void beginWrite() override { execScript("BEGIN"); }

    void beginExclusive() override {
        execScript("BEGIN");
        // One lock for the schema: processes starting together migrate one at a time.
        execScript("SELECT pg_advisory_xact_lock(2013)");
    }

private:
    void quiet() { Result(PQexec(conn_, "SET client_min_messages TO warning")); }

    // A dropped connection (the database restarted) is reset once; the
    // statement is then run again by the caller.
    bool lostConnection(PGresult* result) {
        if (PQstatus(conn_) == CONNECTION_OK) return false;
        (void)result;
        PQreset(conn_);
        if (PQstatus(conn_) != CONNECTION_OK) return false;
        quiet();
        return true;
    }

    SqlRows rows(PGresult* result) {
        ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            throw DatabaseError(std::string("postgresql: ") +
                                (result ? PQresultErrorMessage(result) : PQerrorMessage(conn_)));
        }
        SqlRows out;
        int count = PQntuples(result), columns = PQnfields(result);
        out.reserve(static_cast<std::size_t>(count));
        for (int r = 0; r < count; ++r) {
            SqlRow row;
            for (int c = 0; c < columns; ++c) {
                if (PQgetisnull(result, r, c)) {
                    row.emplace_back(std::nullopt);
                } else if (PQftype(result, c) == kByteaOid) {
                    row.emplace_back(decodeBytea(PQgetvalue(result, r, c), PQgetlength(result, r, c)));
                } else {
                    row.emplace_back(std::string(PQgetvalue(result, r, c), PQgetlength(result, r, c)));
                }
            }
            out.push_back(std::move(row));
        }
        return out;
    }

    PGconn* conn_;
};

}  // namespace

std::unique_ptr<SqlConnection> openPostgres(const std::string& url) {
    return std::make_unique<PostgresConnection>(url);
}

}  // namespace scoredb
