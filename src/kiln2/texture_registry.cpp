// The texture registry: loading under a key (with its colour-key rule),
// disposing, and rebuilding everything from the files on disk.
#include <vector>

#include "kiln2/kiln_state.h"

namespace {

// Builds the texture of one registry entry as its mask says.
std::unique_ptr<Texture> buildTexture(const std::string& file, const KilnMask& mask) {
    KilnVideo& video = *kilnBackend().video;
    auto texture = std::make_unique<Texture>(video);
    const bool readFile = video.readsResourceFiles();
    if (mask[0] >= 0) {
        texture->mask = mask;
        if (readFile) {
            std::unique_ptr<KilnImage> image = texture->loadBmp(file);
            const uint32_t key = (static_cast<uint32_t>(mask[0]) << 16) | (static_cast<uint32_t>(mask[1]) << 8) |
                                 static_cast<uint32_t>(mask[2]);
            texture->applyColorKey(key, *image);
            texture->fileName = file;
            texture->makeTexture(std::move(image));
        }
    } else if (mask[0] == -1) {
        texture->mask = {-1, 0, 0};
        if (readFile) {
            std::unique_ptr<KilnImage> image = texture->loadBmp(file);
            texture->fileName = file;
            texture->makeTexture(std::move(image));
        }
    } else {
        texture->mask = {-2, mask[1], mask[2]};
        if (readFile) {
            std::unique_ptr<KilnImage> image = texture->loadBmp(file);
            const int x = mask[1];
            const int y = mask[2];
            if (x >= 0 && x < image->w && y >= 0 && y < image->h) {
                texture->applyColorKey(kilnPixelAt(*image, x, y), *image);
            }
            texture->fileName = file;
            texture->makeTexture(std::move(image));
        }
    }
    if (!readFile) {
        texture->fileName = file;
        texture->makeTexture(nullptr);
    }
    return texture;
}

}  // namespace

void Kiln_loadTexture(const std::string& key, const std::string& file, const KilnMask& mask) {
    KilnState& state = kilnState();
    if (state.textures.count(key)) Kiln_disposeTexture(key);
    if (mask[0] < -2) throw KilnError("Kiln_loadTexture: Invalid parameter 'mask'");
    state.textures[key] = buildTexture(file, mask);
}

void Kiln_disposeTexture(const std::string& key) {
    KilnState& state = kilnState();
    if (key.empty()) {
        state.textures.clear();
        return;
    }
    auto found = state.textures.find(key);
    if (found == state.textures.end()) throw KilnError("Kiln_disposeTexture: Has exist key: " + key);
    state.textures.erase(found);
}

bool Kiln_hasTexture(const std::string& key) { return kilnState().textures.count(key) != 0; }

void Kiln_reloadTextures() {
    KilnState& state = kilnState();
    state.font.reset();
    Kiln_loadFont();
    std::vector<std::string> keys;
    keys.reserve(state.textures.size());
    for (const auto& entry : state.textures) keys.push_back(entry.first);
    for (const auto& key : keys) {
        const Texture& texture = *state.textures.at(key);
        const std::string file = texture.getFileName();
        const KilnMask mask = texture.getMask();
        Kiln_loadTexture(key, file, mask);
    }
}
