// Where the world score server is, as "config.ini" says: SCORE_SERVER (an
// http:// or https:// URL, empty by default: no server, and ONLINE cannot be
// turned on) and SCORE_SERVER_CA (a CA certificate file for a private
// server's certificate; empty: the system's). The options screen never
// writes them: a player or a packager sets them by hand.
#pragma once

#include <string>
#include <vector>

#include "config/config_parser.h"

struct ServerSettings {
    std::string url;  // without a trailing '/'
    std::string caFile;

    bool operator==(const ServerSettings&) const = default;
};

// Never throws; a URL that is not http:// or https:// is no server, with
// one problem line naming the key.
ServerSettings readServerSettings(ConfigParser& config, std::vector<std::string>& problems);
// "--score-server URL" for one session: the same check, or "" when it fails.
std::string checkedServerUrl(const std::string& url);
