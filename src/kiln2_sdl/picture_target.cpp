// The picture as a framebuffer object with a 640x480 texture, and the one
// textured quad that scales it into the window.
#include "kiln2_sdl/picture_target.h"

#include <algorithm>
#include <array>

#include "kiln2/picture_fit.h"

namespace {

// The same numbers in GL_ARB_framebuffer_object (core since GL 3.0) and GL_EXT_framebuffer_object.
constexpr GLenum kFramebuffer = 0x8D40;
constexpr GLenum kColourAttachment0 = 0x8CE0;
constexpr GLenum kFramebufferComplete = 0x8CD5;

template <typename Function>
Function glFunction(const char* arbName, const char* extName, bool useArb) {
    return reinterpret_cast<Function>(SDL_GL_GetProcAddress(useArb ? arbName : extName));
}

}  // namespace

bool SdlPictureTarget::loadFunctions() {
    const bool arb = SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object") == SDL_TRUE;
    if (!arb && SDL_GL_ExtensionSupported("GL_EXT_framebuffer_object") != SDL_TRUE) return false;
    genFramebuffers_ = glFunction<GenFramebuffers>("glGenFramebuffers", "glGenFramebuffersEXT", arb);
    deleteFramebuffers_ = glFunction<DeleteFramebuffers>("glDeleteFramebuffers", "glDeleteFramebuffersEXT", arb);
    bindFramebuffer_ = glFunction<BindFramebuffer>("glBindFramebuffer", "glBindFramebufferEXT", arb);
    framebufferTexture2D_ =
        glFunction<FramebufferTexture2D>("glFramebufferTexture2D", "glFramebufferTexture2DEXT", arb);
    checkFramebufferStatus_ =
        glFunction<CheckFramebufferStatus>("glCheckFramebufferStatus", "glCheckFramebufferStatusEXT", arb);
    return genFramebuffers_ && deleteFramebuffers_ && bindFramebuffer_ && framebufferTexture2D_ &&
           checkFramebufferStatus_;
}

bool SdlPictureTarget::create() {
    if (!loadFunctions()) return false;
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, KILN_PICTURE_WIDTH, KILN_PICTURE_HEIGHT, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    filter_ = GL_NEAREST;
    glBindTexture(GL_TEXTURE_2D, 0);
    genFramebuffers_(1, &framebuffer_);
    bindFramebuffer_(kFramebuffer, framebuffer_);
    framebufferTexture2D_(kFramebuffer, kColourAttachment0, GL_TEXTURE_2D, texture_, 0);
    if (checkFramebufferStatus_(kFramebuffer) != kFramebufferComplete) {
        destroy();
        return false;
    }
    bindForDrawing();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    return true;
}

void SdlPictureTarget::destroy() {
    if (bindFramebuffer_) bindFramebuffer_(kFramebuffer, 0);
    if (framebuffer_) deleteFramebuffers_(1, &framebuffer_);
    framebuffer_ = 0;
    if (texture_) glDeleteTextures(1, &texture_);
    texture_ = 0;
}

void SdlPictureTarget::bindForDrawing() {
    if (!framebuffer_) return;
    bindFramebuffer_(kFramebuffer, framebuffer_);
    glViewport(0, 0, KILN_PICTURE_WIDTH, KILN_PICTURE_HEIGHT);
}

namespace {

// One rectangle of picture pixels, scaled to its place in the window. Every
// pixel the window shows of it samples the texture exactly as one quad over
// the whole picture would: the mapping from window to picture is the same.
void drawPicturePart(const KilnPictureRect& picture, int left, int top, int right, int bottom) {
    const float scaleX = static_cast<float>(picture.width) / KILN_PICTURE_WIDTH;
    const float scaleY = static_cast<float>(picture.height) / KILN_PICTURE_HEIGHT;
    const float x0 = static_cast<float>(picture.x) + static_cast<float>(left) * scaleX;
    const float x1 = static_cast<float>(picture.x) + static_cast<float>(right) * scaleX;
    const float y0 = static_cast<float>(picture.y) + static_cast<float>(top) * scaleY;
    const float y1 = static_cast<float>(picture.y) + static_cast<float>(bottom) * scaleY;
    const float u0 = static_cast<float>(left) / KILN_PICTURE_WIDTH;
    const float u1 = static_cast<float>(right) / KILN_PICTURE_WIDTH;
    // The texture's first row is the picture's bottom one.
    const float v0 = 1.0f - static_cast<float>(top) / KILN_PICTURE_HEIGHT;
    const float v1 = 1.0f - static_cast<float>(bottom) / KILN_PICTURE_HEIGHT;
    glTexCoord2f(u0, v0);
    glVertex2f(x0, y0);
    glTexCoord2f(u1, v0);
    glVertex2f(x1, y0);
    glTexCoord2f(u1, v1);
    glVertex2f(x1, y1);
    glTexCoord2f(u0, v1);
    glVertex2f(x0, y1);
}

}  // namespace

namespace {

// A run of drawn cells in one row, columns first to last - 1, drawn on since row top.
struct CellRun {
    int first = 0, last = 0, top = 0;
};
constexpr int kMostRunsInARow = KilnPictureCells::COLUMNS / 2 + 1;

int runsOf(const KilnPictureCells::Row& row, std::array<CellRun, kMostRunsInARow>& runs) {
    int count = 0;
    for (int column = 0; column < KilnPictureCells::COLUMNS;) {
        if (!row.test(static_cast<size_t>(column))) {
            ++column;
            continue;
        }
        const int first = column;
        while (column < KilnPictureCells::COLUMNS && row.test(static_cast<size_t>(column))) ++column;
        runs[static_cast<size_t>(count++)] = {first, column, 0};
    }
    return count;
}

}  // namespace

// The drawn cells as quads: a run of cells in a row grows downwards while
// the rows below have the very same run, so a column of wall blocks is one
// quad, not one per row. A quad reaches one picture pixel past its cells, as
// far as a filtered window pixel can look, so the pixels around a drawn part
// come out as a quad over the whole picture would draw them.
void SdlPictureTarget::drawCells(const KilnPictureRect& picture, const KilnPictureCells& drawn) {
    constexpr int cell = KilnPictureCells::CELL_PIXELS;
    const auto emit = [&](const CellRun& run, int bottom) {
        drawPicturePart(picture, std::max(run.first * cell - 1, 0), std::max(run.top * cell - 1, 0),
                        std::min(run.last * cell + 1, KILN_PICTURE_WIDTH), std::min(bottom * cell + 1, KILN_PICTURE_HEIGHT));
    };
    std::array<CellRun, kMostRunsInARow> open{};
    std::array<CellRun, kMostRunsInARow> row{};
    int openCount = 0;
    for (int r = 0; r <= KilnPictureCells::ROWS; ++r) {
        const int rowCount = r < KilnPictureCells::ROWS ? runsOf(drawn.row(r), row) : 0;
        // Both lists are in column order: walk them together.
        int o = 0;
        for (int i = 0; i < rowCount; ++i) {
            CellRun& run = row[static_cast<size_t>(i)];
            while (o < openCount && open[static_cast<size_t>(o)].first < run.first) emit(open[static_cast<size_t>(o++)], r);
            if (o < openCount && open[static_cast<size_t>(o)].first == run.first &&
                open[static_cast<size_t>(o)].last == run.last) {
                run.top = open[static_cast<size_t>(o++)].top;
            } else {
                if (o < openCount && open[static_cast<size_t>(o)].first == run.first) emit(open[static_cast<size_t>(o++)], r);
                run.top = r;
            }
        }
        while (o < openCount) emit(open[static_cast<size_t>(o++)], r);
        open = row;
        openCount = rowCount;
    }
}

void SdlPictureTarget::present(SDL_Window* window, KilnPictureScaling scaling, const KilnPictureCells& drawn) {
    if (!framebuffer_) return;
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    const KilnPictureRect picture = kilnFitPicture(width, height, scaling);

    // The scenes' matrices and blend state are theirs: kept aside and given back.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    bindFramebuffer_(kFramebuffer, 0);
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    // Whole multiples keep every picture pixel a crisp square; any other scale
    // is smoothed. At the picture's own size both give the same pixels, and
    // the nearest one is the cheaper to sample.
    const bool wholeMultiple = picture.width % KILN_PICTURE_WIDTH == 0;
    const bool ownSize = picture.width == KILN_PICTURE_WIDTH && picture.height == KILN_PICTURE_HEIGHT;
    const GLint filter = (scaling == PICTURE_INTEGER && wholeMultiple) || ownSize ? GL_NEAREST : GL_LINEAR;
    // Set only when it changes: a software renderer rebuilds its sampler for every change.
    if (filter != filter_) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        filter_ = filter;
    }
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_QUADS);
    drawCells(picture, drawn);
    glEnd();

    // Nothing the scenes draw may sample the picture they draw into.
    glBindTexture(GL_TEXTURE_2D, 0);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    bindFramebuffer_(kFramebuffer, framebuffer_);
}

bool SdlPictureTarget::read(std::vector<uint8_t>& rgb, int width, int height) {
    if (!framebuffer_ || width <= 0 || height <= 0 || width > KILN_PICTURE_WIDTH || height > KILN_PICTURE_HEIGHT) {
        return false;
    }
    rgb.resize(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return true;
}
