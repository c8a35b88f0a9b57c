// fmfgen: writes the toolbox screen's tile map.
//   fmfgen <output.fmf>     (the repository keeps it at resource/map/toolbox.fmf)
#include <cstdio>
#include <exception>

#include "toolbox_map.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fmfgen <output.fmf>\n");
        return 2;
    }
    try {
        FMFLoader map = buildToolboxMap();
        map.save(argv[1]);
        map.printInfo();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fmfgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
