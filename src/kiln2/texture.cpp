// Texture: the colour key and the upload through the backend.
#include "kiln2/texture.h"

#include "kiln2/backend.h"

Texture::Texture(KilnVideo& video) : video_(video) {}

Texture::~Texture() {
    if (uploaded_) video_.deleteTexture(id);
}

const std::string& Texture::getFileName() const { return fileName; }

KilnMask Texture::getMask() const { return mask; }

void Texture::makeTexture(std::unique_ptr<KilnImage> image) {
    if (image) {
        width = image->w;
        height = image->h;
        id = video_.uploadTexture(image->pixels.data(), width, height);
    } else {
        width = 0;
        height = 0;
        id = video_.uploadTexture(nullptr, 0, 0);
    }
    uploaded_ = true;
    surface = std::move(image);
}

KilnImage& Texture::applyColorKey(uint32_t key, KilnImage& image) {
    const uint32_t opaqueKey = key | 0xFF000000u;
    for (int y = 0; y < image.h; ++y) {
        uint8_t* row = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.pitch);
        for (int x = 0; x < image.w; ++x) {
            uint8_t* p = row + 4 * x;
            if (kilnPixelAt(image, x, y) == opaqueKey) p[0] = p[1] = p[2] = p[3] = 0;
        }
    }
    return image;
}

std::unique_ptr<KilnImage> Texture::loadBmp(const std::string& file) {
    fileName = file;
    const std::string path = Kiln_resourcePath(file);
    auto image = std::make_unique<KilnImage>();
    std::string reason;
    // The text says "not found" for a broken file too; it always names the file it tried.
    if (!kilnReadBmpFile(path, *image, reason)) throw KilnError("Kiln_Texture::loadBmp : not found file: " + path);
    return image;
}

void Texture::bind() { video_.bindTexture(id); }

uint32_t kilnPixelAt(const KilnImage& image, int x, int y) {
    const uint8_t* p = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.pitch) + 4 * x;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
