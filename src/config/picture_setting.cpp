// Reading the PICTURE key of "config.ini" with its recovery rule.
#include "config/picture_setting.h"

namespace {

const char* const PICTURE_KEY = "PICTURE";

}  // namespace

PictureSetting readPictureSetting(ConfigParser& config, std::vector<std::string>& problems) {
    if (!config.hasKey(PICTURE_KEY)) return PictureSetting::Smooth;
    const std::string value = config.getString(PICTURE_KEY);
    if (value == "smooth") return PictureSetting::Smooth;
    if (value == "integer") return PictureSetting::Integer;
    const std::string file = config.fileName().empty() ? std::string("config") : config.fileName();
    problems.push_back(file + ": bad value for " + PICTURE_KEY + " ('" + value + "'), using smooth");
    return PictureSetting::Smooth;
}
