// The player's choice of how the picture fills the window: "PICTURE = smooth"
// (the default) or "PICTURE = integer" in "config.ini". Nothing here logs or
// throws; a problem comes back as a text line for the caller to log.
#pragma once

#include <string>
#include <vector>

#include "config/config_parser.h"

enum class PictureSetting { Smooth, Integer };

// Reads PICTURE. A missing key is smooth, silently (older files lack it); any
// other value than smooth or integer is smooth with one problem line naming
// the key and the value.
PictureSetting readPictureSetting(ConfigParser& config, std::vector<std::string>& problems);
