// A texture of the registry: the BMP image converted to R,G,B,A bytes, its
// colour key applied, uploaded through the backend. The image is kept so a
// reload can rebuild it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "kiln2/kiln2.h"

struct SDL_Surface;
class KilnVideo;

class Texture {
public:
    explicit Texture(KilnVideo& video);
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    virtual const std::string& getFileName() const;
    virtual KilnMask getMask() const;
    // Uploads the image and keeps it; a null surface registers a texture
    // without pixels (size 0x0).
    virtual void makeTexture(SDL_Surface* image);
    // Makes every pixel of value key | 0xFF000000 fully transparent black.
    virtual SDL_Surface* applyColorKey(uint32_t key, SDL_Surface* image);
    // Reads a BMP as 32-bit R,G,B,A bytes; throws when the file is unreadable.
    virtual SDL_Surface* loadBmp(const std::string& file);
    virtual void bind();

    uint32_t id = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::string fileName;
    KilnMask mask{};
    SDL_Surface* surface = nullptr;

private:
    KilnVideo& video_;
    bool uploaded_ = false;
};

// The 32-bit value of the pixel at (x, y) of an R,G,B,A image.
uint32_t kilnPixelAt(SDL_Surface* image, int x, int y);
