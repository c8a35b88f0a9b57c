// The off-screen 640x480 picture the scenes draw into, and its presentation:
// once per frame it is scaled into the window in one step, centred, with
// black bars where the window's shape is not 4:3. Drawing cost therefore does
// not grow with the window, and screenshots read the picture itself.
#pragma once

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdint>
#include <vector>

#include "kiln2/kiln2.h"
#include "kiln2/picture_cells.h"
#include "kiln2/picture_fit.h"

class SdlPictureTarget {
public:
    // Builds the target in the current GL context; false when the driver has
    // no framebuffer objects (the scenes then draw into the window directly).
    bool create();
    void destroy();
    bool exists() const { return framebuffer_ != 0; }

    // Makes the picture the place drawing goes, over the picture's 640x480.
    void bindForDrawing();
    // Draws the picture into window's back buffer and leaves drawing bound
    // to the picture again; the caller swaps. Only the drawn cells are
    // scaled: the rest of the picture is black, as the window is cleared.
    void present(SDL_Window* window, KilnPictureScaling scaling, const KilnPictureCells& drawn);
    // The picture's bottom-left width x height pixels as RGB, bottom row first.
    bool read(std::vector<uint8_t>& rgb, int width, int height);

private:
    using GenFramebuffers = void(APIENTRY*)(GLsizei, GLuint*);
    using DeleteFramebuffers = void(APIENTRY*)(GLsizei, const GLuint*);
    using BindFramebuffer = void(APIENTRY*)(GLenum, GLuint);
    using FramebufferTexture2D = void(APIENTRY*)(GLenum, GLenum, GLenum, GLuint, GLint);
    using CheckFramebufferStatus = GLenum(APIENTRY*)(GLenum);

    bool loadFunctions();
    static void drawCells(const KilnPictureRect& picture, const KilnPictureCells& drawn);

    GenFramebuffers genFramebuffers_ = nullptr;
    DeleteFramebuffers deleteFramebuffers_ = nullptr;
    BindFramebuffer bindFramebuffer_ = nullptr;
    FramebufferTexture2D framebufferTexture2D_ = nullptr;
    CheckFramebufferStatus checkFramebufferStatus_ = nullptr;
    GLuint framebuffer_ = 0;
    GLuint texture_ = 0;
    GLint filter_ = 0;  // the picture texture's filter now
};
