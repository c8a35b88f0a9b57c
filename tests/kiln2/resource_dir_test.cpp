// The resource directory: the game names its files "resource/...", and the
// framework reads them from wherever start-up found the resources; a file
// that is missing there is reported with the path that was tried.
#include "kiln2/kiln_state.h"
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class ResourceDir : public HeadlessTest {
protected:
    // The framework started with its resources in installed/ and none in the working directory.
    void startWithResourcesIn(const std::string& dir) {
        kiln_headless::reset();
        Kiln_useHeadlessBackend(withFiles());
        Kiln_setResourceDir(dir);
        Kiln_init("test", 640, 480, false, false);
    }

    const std::string installed = (scratch_.path() / "installed" / "resource").string();
};

TEST_F(ResourceDir, OnlyNamesUnderResourceAreMoved) {
    kiln_headless::reset();
    EXPECT_EQ(Kiln_resourcePath("resource/font/font.bmp"), "resource/font/font.bmp") << "unset: names as given";
    Kiln_setResourceDir("/usr/share/kvr2013/resource");
    EXPECT_EQ(Kiln_resourcePath("resource/font/font.bmp"), "/usr/share/kvr2013/resource/font/font.bmp");
    EXPECT_EQ(Kiln_resourcePath("resourceful/x.bmp"), "resourceful/x.bmp");
    EXPECT_EQ(Kiln_resourcePath("my/resource/x.bmp"), "my/resource/x.bmp");
    EXPECT_EQ(Kiln_resourcePath("replay/replay_00.bin"), "replay/replay_00.bin");
    Kiln_setResourceDir("/opt/kvr/resource/");
    EXPECT_EQ(Kiln_resourcePath("resource/sound/up.wav"), "/opt/kvr/resource/sound/up.wav");
}

TEST_F(ResourceDir, PicturesSoundsAndMusicComeFromIt) {
    std::filesystem::current_path(scratch_.path());
    writeSolidBmp(installed + "/font/font.bmp", 128, 48, Rgb{0, 255, 0});
    writeSolidBmp(installed + "/image/tama.bmp", 2, 2, Rgb{255, 0, 0});
    writeWav(installed + "/sound/up.wav");
    writeWav(installed + "/sound/results.wav");
    ASSERT_FALSE(std::filesystem::exists("resource"));

    startWithResourcesIn(installed);
    ASSERT_NE(kilnState().font, nullptr);
    EXPECT_EQ(kilnState().font->width, 128);
    Kiln_loadTexture("tama", "resource/image/tama.bmp", {0, 255, 0});
    EXPECT_EQ(kilnState().textures.at("tama")->width, 2);
    Kiln_loadWAV("up", "resource/sound/up.wav");
    Kiln_playBgm("resource/sound/results.wav", 0, 0);
    ASSERT_FALSE(kiln_headless::soundEvents().empty());
    EXPECT_EQ(kiln_headless::soundEvents().back().name, installed + "/sound/results.wav");

    // A reload (F4) reads the same files again: the registry keeps the game's names.
    EXPECT_EQ(kilnState().textures.at("tama")->getFileName(), "resource/image/tama.bmp");
    writeSolidBmp(installed + "/image/tama.bmp", 4, 4, Rgb{0, 0, 255});
    Kiln_reloadTextures();
    EXPECT_EQ(kilnState().textures.at("tama")->width, 4);
}

TEST_F(ResourceDir, AMissingFileIsReportedWithThePathTried) {
    std::filesystem::current_path(scratch_.path());
    writeFontBmp();  // the working directory's copy must not be used instead
    EXPECT_EQ(errorOf([this] { startWithResourcesIn(installed); }),
              "Kiln_Texture::loadBmp : not found file: " + installed + "/font/font.bmp");

    writeSolidBmp(installed + "/font/font.bmp", 128, 48, Rgb{0, 255, 0});
    startWithResourcesIn(installed);
    EXPECT_EQ(errorOf([] { Kiln_loadTexture("logo", "resource/image/logo.bmp", {0, 255, 0}); }),
              "Kiln_Texture::loadBmp : not found file: " + installed + "/image/logo.bmp");
    const std::string sound = errorOf([] { Kiln_loadWAV("miss", "resource/sound/miss.wav"); });
    EXPECT_NE(sound.find("(" + installed + "/sound/miss.wav)"), std::string::npos) << sound;
    const std::string music = errorOf([] { Kiln_playBgm("resource/sound/bgm.ogg", -1, 0); });
    EXPECT_NE(music.find("(" + installed + "/sound/bgm.ogg)"), std::string::npos) << music;
}

}  // namespace
