#include "config/server_settings.h"

namespace {

const char* const SERVER_KEY = "SCORE_SERVER";
const char* const CA_KEY = "SCORE_SERVER_CA";

bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

}  // namespace

std::string checkedServerUrl(const std::string& url) {
    std::string base = url;
    while (!base.empty() && base.back() == '/') base.pop_back();
    for (const char* scheme : {"http://", "https://"}) {
        // A scheme alone, or one with blanks in it, is nowhere to connect to.
        if (startsWith(base, scheme) && base.size() > std::string(scheme).size() &&
            base.find_first_of(" \t") == std::string::npos) {
            return base;
        }
    }
    return "";
}

ServerSettings readServerSettings(ConfigParser& config, std::vector<std::string>& problems) {
    ServerSettings settings;
    if (config.hasKey(SERVER_KEY)) {
        const std::string written = config.getString(SERVER_KEY);
        settings.url = checkedServerUrl(written);
        if (settings.url.empty() && !written.empty()) {
            const std::string file = config.fileName().empty() ? std::string("config") : config.fileName();
            problems.push_back(file + ": bad value for " + SERVER_KEY + " ('" + written +
                               "'), an http:// or https:// URL; no server");
        }
    }
    if (config.hasKey(CA_KEY)) settings.caFile = config.getString(CA_KEY);
    return settings;
}
