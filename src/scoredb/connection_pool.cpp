#include "scoredb/connection_pool.h"

namespace scoredb {

ConnectionPool::ConnectionPool(Factory factory, std::size_t size)
    : factory_(std::move(factory)), size_(size == 0 ? 1 : size) {}

ConnectionPool::Lease ConnectionPool::borrow() {
    std::unique_lock lock(mutex_);
    returned_.wait(lock, [&] { return !idle_.empty() || opened_ < size_; });
    if (!idle_.empty()) {
        auto connection = std::move(idle_.back());
        idle_.pop_back();
        return Lease(*this, std::move(connection));
    }
    ++opened_;
    lock.unlock();
    try {
        return Lease(*this, factory_());
    } catch (...) {
        lock.lock();
        --opened_;
        returned_.notify_one();
        throw;
    }
}

void ConnectionPool::giveBack(std::unique_ptr<SqlConnection> connection) {
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
    returned_.notify_one();
}

}  // namespace scoredb
