// Fuzzes the settings file reader: any bytes as "config.ini", every value read
// with each conversion, the game's own recovery rules, and the promise that
// whatever was read saves and reads back the same.
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "config/config_parser.h"
#include "config/game_settings.h"
#include "fuzz_support.h"

namespace {

// Each conversion either answers or throws ConfigError; nothing else may escape.
void convertEveryWay(ConfigParser& config, const std::string& key) {
    const std::string text = config.getString(key);
    try {
        int value = config.getInt(key);
        FUZZ_EXPECT(value >= 0);
        FUZZ_EXPECT(text.find_first_not_of("0123456789") == std::string::npos);
    } catch (const ConfigError&) {
    }
    try {
        double value = config.getFloat(key);
        FUZZ_EXPECT(value >= 0.0);
    } catch (const ConfigError&) {
    }
    try {
        (void)config.getBool(key);
    } catch (const ConfigError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFile input("config.ini");
    static const fuzz::ScratchFile saved("config-saved.ini");
    input.write(data, size);

    ConfigParser config;
    config.load(input.path());
    FUZZ_EXPECT(static_cast<size_t>(config.keyCount()) == config.keyOrder().size());
    for (const std::string& key : config.keyOrder()) {
        FUZZ_EXPECT(config.hasKey(key));
        FUZZ_EXPECT(key.find('=') == std::string::npos && key.find('#') == std::string::npos);
        convertEveryWay(config, key);
    }
    try {
        (void)config.getInt("a key no line can make\n");
        FUZZ_EXPECT(false);
    } catch (const ConfigError&) {
    }

    // The game's reading of the same file never throws and always picks a stage.
    std::vector<std::string> problems;
    GameSettings settings = readGameSettings(config, problems);
    FUZZ_EXPECT(settings.stage >= 0 && settings.stage < STAGE_COUNT);
    for (int score : settings.hiScores) FUZZ_EXPECT(score >= 0);

    // Saving writes "key = value" lines that read back as the same keys, order and values.
    config.save(saved.path());
    ConfigParser reread;
    reread.load(saved.path());
    FUZZ_EXPECT(reread.keyOrder() == config.keyOrder());
    for (const std::string& key : config.keyOrder()) FUZZ_EXPECT(reread.getString(key) == config.getString(key));
    return 0;
}
