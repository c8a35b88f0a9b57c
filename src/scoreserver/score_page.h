// The web page at "/": the four stage tables rendered on the server, each
// row with a link to its replay, readable without JavaScript.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "scoredb/score_store.h"

namespace scoreserver {

std::string htmlEscape(const std::string& text);
std::string scorePage(const std::array<std::vector<scoredb::RankedRun>, 4>& tables);

}  // namespace scoreserver
