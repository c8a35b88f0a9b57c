// assetgen <output-root>: writes every picture, sound and the music of the
// game under <output-root>/resource. The output depends on nothing but this
// program, so running it twice gives the same files.
#include "art.h"
#include "bmp_file.h"
#include "ogg_file.h"
#include "png_file.h"
#include "sounds.h"
#include "synth.h"
#include "wav_file.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

void writeArt(const std::filesystem::path& resource) {
    using namespace assetgen;
    writeBmp(resource / "font" / "font.bmp", makeFontSheet());
    writeBmp(resource / "image" / "logo.bmp", makeLogo());
    writeBmp(resource / "image" / "menu.bmp", makeMenuSheet());
    writeBmp(resource / "image" / "tama.bmp", makeSpriteSheet());
    writeBmp(resource / "ico.bmp", makeWindowIcon());
    // The same art for the desktop's menus, at the sizes icon themes look for.
    for (int size : {32, 48, 64, 128}) {
        writePng(resource / "icons" / std::to_string(size) / "kvr2013.png", makeDesktopIcon(size));
    }
}

void writeSounds(const std::filesystem::path& resource) {
    using namespace assetgen;
    const std::filesystem::path sound = resource / "sound";
    writeWav(sound / "itemget.wav", makeItemGetSound(), kSampleRate);
    writeWav(sound / "miss.wav", makeMissSound(), kSampleRate);
    writeWav(sound / "break.wav", makeBreakSound(), kSampleRate);
    writeWav(sound / "up.wav", makeUpSound(), kSampleRate);
    writeWav(sound / "bariya.wav", makeBarrierSound(), kSampleRate);
    writeWav(sound / "results.wav", makeResultsJingle(), kSampleRate);
    writeOggVorbis(sound / "bgm.ogg", makeFlightMusic(), kSampleRate);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: assetgen <output-root>\n";
        return 2;
    }
    try {
        const std::filesystem::path resource = std::filesystem::path(argv[1]) / "resource";
        writeArt(resource);
        writeSounds(resource);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
