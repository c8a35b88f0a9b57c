// A texture of the registry: the BMP image as R,G,B,A bytes, its colour key
// applied, uploaded through the backend. The image is kept so a reload can
// rebuild it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "kiln2/bmp_image.h"
#include "kiln2/kiln2.h"

class KilnVideo;

class Texture {
public:
    explicit Texture(KilnVideo& video);
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    virtual const std::string& getFileName() const;
    virtual KilnMask getMask() const;
    // Uploads the image and keeps it; a null image registers a texture
    // without pixels (size 0x0).
    virtual void makeTexture(std::unique_ptr<KilnImage> image);
    // Makes every pixel of value key | 0xFF000000 fully transparent black.
    virtual KilnImage& applyColorKey(uint32_t key, KilnImage& image);
    // Reads a BMP as R,G,B,A bytes; throws when the file is missing or not a picture.
    virtual std::unique_ptr<KilnImage> loadBmp(const std::string& file);
    virtual void bind();

    uint32_t id = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::string fileName;
    KilnMask mask{};
    std::unique_ptr<KilnImage> surface;

private:
    KilnVideo& video_;
    bool uploaded_ = false;
};

// The 32-bit value of the pixel at (x, y): its R,G,B,A bytes read as one
// little-endian word, as the colour keys are written.
uint32_t kilnPixelAt(const KilnImage& image, int x, int y);
