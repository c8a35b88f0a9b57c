// The committed resource files are exactly what the generator makes: it is
// run into a temporary directory and its pictures and sounds compared byte
// for byte; the music, whose encoder may differ between library versions,
// must at least be a fresh Ogg stream of the same length in samples.
#include "asset_test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace assettest;

std::vector<char> readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class Generator : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        outputRoot = new fs::path(fs::temp_directory_path() / ("kvr-assetgen-" + std::to_string(::getpid())));
        fs::remove_all(*outputRoot);
        fs::create_directories(*outputRoot);
        std::string command = std::string("\"") + KVR_ASSETGEN + "\" \"" + outputRoot->string() + "\"";
        exitStatus = std::system(command.c_str());
    }
    static void TearDownTestSuite() {
        fs::remove_all(*outputRoot);
        delete outputRoot;
        outputRoot = nullptr;
    }
    static fs::path generated(const std::string& relative) { return *outputRoot / "resource" / relative; }

    static fs::path* outputRoot;
    static int exitStatus;
};
fs::path* Generator::outputRoot = nullptr;
int Generator::exitStatus = -1;

const char* const kExactFiles[] = {
    "font/font.bmp",         "image/logo.bmp",       "image/menu.bmp",    "image/tama.bmp",
    "ico.bmp",               "sound/itemget.wav",    "sound/miss.wav",    "sound/break.wav",
    "sound/up.wav",          "sound/bariya.wav",     "sound/results.wav",
    "icons/32/kvr2013.png",  "icons/48/kvr2013.png", "icons/64/kvr2013.png", "icons/128/kvr2013.png",
};

TEST_F(Generator, RunsSuccessfully) { EXPECT_EQ(exitStatus, 0); }

TEST_F(Generator, MakesEveryPictureAndEffectByteForByteAsCommitted) {
    ASSERT_EQ(exitStatus, 0);
    for (const char* relative : kExactFiles) {
        std::vector<char> committed = readBytes(resourcePath(relative));
        std::vector<char> fresh = readBytes(generated(relative));
        ASSERT_FALSE(committed.empty()) << relative << " is not committed";
        EXPECT_EQ(fresh.size(), committed.size()) << relative;
        EXPECT_TRUE(fresh == committed) << relative << " differs from the generator's output";
    }
}

TEST_F(Generator, MakesTheMusicAsAnOggStreamOfTheCommittedLength) {
    ASSERT_EQ(exitStatus, 0);
    std::vector<char> fresh = readBytes(generated("sound/bgm.ogg"));
    ASSERT_GT(fresh.size(), 4u);
    EXPECT_EQ(std::string(fresh.begin(), fresh.begin() + 4), "OggS");
    DecodedSound committed = decodeWithMixer(resourcePath("sound/bgm.ogg"));
    DecodedSound regenerated = decodeWithMixer(generated("sound/bgm.ogg").string());
    EXPECT_FALSE(regenerated.left.empty());
    EXPECT_EQ(regenerated.left.size(), committed.left.size());
}

TEST_F(Generator, WritesNothingButTheResourceTree) {
    ASSERT_EQ(exitStatus, 0);
    for (const auto& entry : fs::directory_iterator(*outputRoot)) {
        EXPECT_EQ(entry.path().filename(), "resource");
    }
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(*outputRoot)) {
        files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, 16);
}

} // namespace
