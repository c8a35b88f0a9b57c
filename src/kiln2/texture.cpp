// Texture: BMP decoding, the colour key and the upload through the backend.
#include "kiln2/texture.h"

#include <SDL.h>

#include "kiln2/backend.h"

Texture::Texture(KilnVideo& video) : video_(video) {}

Texture::~Texture() {
    if (uploaded_) video_.deleteTexture(id);
    if (surface) SDL_FreeSurface(surface);
}

const std::string& Texture::getFileName() const { return fileName; }

KilnMask Texture::getMask() const { return mask; }

void Texture::makeTexture(SDL_Surface* image) {
    if (image) {
        width = image->w;
        height = image->h;
        id = video_.uploadTexture(static_cast<const uint8_t*>(image->pixels), width, height);
    } else {
        width = 0;
        height = 0;
        id = video_.uploadTexture(nullptr, 0, 0);
    }
    uploaded_ = true;
    surface = image;
}

SDL_Surface* Texture::applyColorKey(uint32_t key, SDL_Surface* image) {
    const uint32_t opaqueKey = key | 0xFF000000u;
    SDL_LockSurface(image);
    for (int y = 0; y < image->h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(image->pixels) + y * image->pitch);
        for (int x = 0; x < image->w; ++x) {
            if (row[x] == opaqueKey) row[x] = 0;
        }
    }
    SDL_UnlockSurface(image);
    return image;
}

SDL_Surface* Texture::loadBmp(const std::string& file) {
    fileName = file;
    SDL_Surface* loaded = SDL_LoadBMP(file.c_str());
    if (!loaded) throw KilnError("Kiln_Texture::loadBmp : not found file: " + file);
    // Bytes in memory R, G, B, A (ABGR8888 on a little-endian machine): what
    // the upload and the colour key expect.
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!converted) throw KilnError("Kiln_Texture::loadBmp : not found file: " + file);
    return converted;
}

void Texture::bind() { video_.bindTexture(id); }

uint32_t kilnPixelAt(SDL_Surface* image, int x, int y) {
    SDL_LockSurface(image);
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(image->pixels) + y * image->pitch);
    const uint32_t value = row[x];
    SDL_UnlockSurface(image);
    return value;
}
