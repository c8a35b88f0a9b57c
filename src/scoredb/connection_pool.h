// A few connections shared by the server's threads: a request borrows one
// for its statements and hands it back, so no two threads ever use one
// connection at once (neither SQLite's nor libpq's handles allow that).
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "scoredb/sql_connection.h"

namespace scoredb {

class ConnectionPool {
public:
    using Factory = std::function<std::unique_ptr<SqlConnection>()>;
    ConnectionPool(Factory factory, std::size_t size);

    class Lease {
    public:
        Lease(ConnectionPool& pool, std::unique_ptr<SqlConnection> connection)
            : pool_(&pool), connection_(std::move(connection)) {}
        Lease(Lease&&) = default;
        ~Lease() {
            if (connection_) pool_->giveBack(std::move(connection_));
        }
        SqlConnection& operator*() const { return *connection_; }
        SqlConnection* operator->() const { return connection_.get(); }

    private:
        ConnectionPool* pool_;
        std::unique_ptr<SqlConnection> connection_;
    };

    // Waits while every connection is out; opens a new one while fewer than size exist.
    Lease borrow();

private:
    void giveBack(std::unique_ptr<SqlConnection> connection);

    Factory factory_;
    std::size_t size_;
    std::size_t opened_ = 0;
    std::vector<std::unique_ptr<SqlConnection>> idle_;
    std::mutex mutex_;
    std::condition_variable returned_;
};

}  // namespace scoredb
