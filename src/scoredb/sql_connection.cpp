#include "scoredb/sql_connection.h"

#include <charconv>

namespace scoredb {

std::int64_t cellInt(const SqlCell& cell) {
    if (!cell) return 0;
    std::int64_t value = 0;
    const char* begin = cell->data();
    const char* end = begin + cell->size();
    // PostgreSQL may answer a double column with a fraction ("5.5").
    auto [rest, error] = std::from_chars(begin, end, value);
    if (error != std::errc{} && rest == begin) throw DatabaseError("not a number: " + *cell);
    return value;
}

std::string cellText(const SqlCell& cell) { return cell ? *cell : std::string(); }

}  // namespace scoredb
