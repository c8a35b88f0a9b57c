// The real window: a resizable SDL2 window with an OpenGL 2.1 compatibility
// context drawn in immediate mode into the off-screen picture, which each
// swap scales into the window; and the SDL clock, keyboard, mouse and events.
#include <SDL.h>
#include <SDL_opengl.h>
#include <GL/glu.h>

#include <array>
#include <cstdio>
#include <utility>

#include "kiln2/backend.h"
#include "kiln2/picture_fit.h"
#include "kiln2_sdl/key_map.h"
#include "kiln2_sdl/picture_target.h"
#include "kiln2_sdl/real_backend.h"
#include "kiln2_sdl/screenshot.h"

namespace {

// The smallest window the player can drag it to: the HUD stays readable.
constexpr int kSmallestWindowWidth = 160;
constexpr int kSmallestWindowHeight = 120;

class SdlGlVideo final : public KilnVideo {
public:
    explicit SdlGlVideo(bool offscreenPicture) : offscreenPicture_(offscreenPicture) {}
    ~SdlGlVideo() override { close(); }

    void open(int width, int height, bool fullScreen) override {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
            std::fprintf(stderr, "kvr2013: SDL video: %s\n", SDL_GetError());
            throw KilnError("Kiln_init: Couldn't initialize SDL");
        }
        videoUp_ = true;
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
        Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
        // Full screen on the desktop as it is: the monitor keeps its mode.
        if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        window_ = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, flags);
        if (!window_) throw KilnError("Kiln_init: Couldn't set video mode");
        SDL_SetWindowMinimumSize(window_, kSmallestWindowWidth, kSmallestWindowHeight);
        windowedWidth_ = width;
        windowedHeight_ = height;
        context_ = SDL_GL_CreateContext(window_);
        if (!context_) throw KilnError("Kiln_init: Couldn't set video mode");
        // The frame wait paces the game; a swap that also waited for the
        // display would fight it.
        SDL_GL_SetSwapInterval(0);
        blendMode_ = -1;
        if (offscreenPicture_ && !picture_.create()) {
            std::fprintf(stderr,
                         "kvr2013: this OpenGL driver has no framebuffer objects; the game draws straight into "
                         "the window\n");
        }
    }

    void close() override {
        flushRects();
        if (context_) picture_.destroy();
        if (context_) SDL_GL_DeleteContext(context_);
        context_ = nullptr;
        if (window_) SDL_DestroyWindow(window_);
        window_ = nullptr;
        if (videoUp_) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            SDL_Quit();
        }
        videoUp_ = false;
    }

    void setFullScreen(bool on) override {
        flushRects();
        if (!window_) throw KilnError("Kiln_toggleFullScreen: Couldn't set video mode");
        const bool wasFullScreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
        if (on && !wasFullScreen) SDL_GetWindowSize(window_, &windowedWidth_, &windowedHeight_);
        if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) < 0) {
            throw KilnError("Kiln_toggleFullScreen: Couldn't set video mode");
        }
        // Back to the window as the player left it, whatever full screen did to its size.
        if (!on && wasFullScreen) SDL_SetWindowSize(window_, windowedWidth_, windowedHeight_);
    }

    void setCaption(const std::string& text) override {
        if (window_) SDL_SetWindowTitle(window_, text.c_str());
    }

    void setIcon(const std::string& bmpFile) override {
        SDL_Surface* icon = SDL_LoadBMP(bmpFile.c_str());
        if (!icon) return;
        if (window_) SDL_SetWindowIcon(window_, icon);
        SDL_FreeSurface(icon);
    }

    void iconify() override {
        if (window_) SDL_MinimizeWindow(window_);
    }

    bool isCursorShown() override { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

    void showCursor(bool shown) override { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

    // The scenes draw in the picture's 640x480 whatever size the window has,
    // so the view is the picture's, not width x height.
    void setupView(int, int) override {
        flushRects();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, KILN_PICTURE_WIDTH, KILN_PICTURE_HEIGHT, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        if (picture_.exists()) {
            picture_.bindForDrawing();
        } else {
            drawIntoWindow(false);
        }
        glClearColor(0, 0, 0, 0);
    }

    void initDrawState() override {
        flushRects();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_COLOR_MATERIAL);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        blendMode_ = -1;
    }

    void swap(const KilnPictureCells& drawn) override {
        flushRects();
        picture_.present(window_, scaling_, drawn);
        SDL_GL_SwapWindow(window_);
    }

    void clear() override {
        flushRects();
        if (picture_.exists()) {
            glClear(GL_COLOR_BUFFER_BIT);
        } else {
            drawIntoWindow(true);
        }
    }

    void resetView() override {
        flushRects();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 480, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
    }

    void applyBlendMode(int mode) override {
        // The same mode again changes nothing and keeps a batch of rectangles open.
        if (mode == blendMode_) return;
        flushRects();
        blendMode_ = mode;
        switch (mode) {
            case BLEND_NONE: glDisable(GL_BLEND); break;
            case BLEND_ALPHA: enableBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
            case BLEND_ADD: enableBlend(GL_SRC_ALPHA, GL_ONE); break;
            case BLEND_INVERT: enableBlend(GL_ONE_MINUS_DST_COLOR, GL_ZERO); break;
            case BLEND_ALPHA_COLOR: enableBlend(GL_SRC_ALPHA, GL_SRC_COLOR); break;
            case BLEND_MULTIPLY: enableBlend(GL_ZERO, GL_SRC_COLOR); break;
            default: break;
        }
    }

    void disableTexturing() override {
        // An open batch of rectangles already drew with texturing off.
        if (rectBatchOpen_) return;
        glDisable(GL_TEXTURE_2D);
    }

    uint32_t uploadTexture(const uint8_t* pixels, int width, int height) override {
        flushRects();
        if (!context_) return 0;
        GLuint id = 0;
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        if (pixels && width > 0 && height > 0) {
            gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        }
        // Nearest in both directions keeps the pixel art sharp when the view is stretched.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        return id;
    }

    void deleteTexture(uint32_t id) override {
        flushRects();
        if (!context_) return;
        const GLuint name = id;
        glDeleteTextures(1, &name);
    }

    void bindTexture(uint32_t id) override {
        flushRects();
        glBindTexture(GL_TEXTURE_2D, id);
        glEnable(GL_TEXTURE_2D);
    }

    void drawTexture(const KilnTextureQuad& q) override {
        flushRects();
        glPushMatrix();
        glColor4ub(q.colour.r, q.colour.g, q.colour.b, q.colour.a);
        glTranslatef(q.x, q.y, 0);
        if (q.angle != 0.0f) {
            // Turn about the centre of the drawn rectangle, anticlockwise on screen.
            glTranslatef(q.w / 2, q.h / 2, 0);
            glRotatef(q.angle, 0, 0, -1);
            glTranslatef(-q.w / 2, -q.h / 2, 0);
        }
        glBegin(GL_POLYGON);
        glTexCoord2f(q.u0, q.v0);
        glVertex3f(0, 0, 0);
        glTexCoord2f(q.u0 + q.du, q.v0);
        glVertex3f(q.w, 0, 0);
        glTexCoord2f(q.u0 + q.du, q.v0 + q.dv);
        glVertex3f(q.w, q.h, 0);
        glTexCoord2f(q.u0, q.v0 + q.dv);
        glVertex3f(0, q.h, 0);
        glEnd();
        glPopMatrix();
        glDisable(GL_TEXTURE_2D);
    }

    // A text line is one batch of quads: the glyph corners are placed
    // directly instead of through a matrix per glyph, which is the same
    // picture for a fraction of the driver's work.
    void beginGlyphs(uint32_t fontId, KilnColour colour) override {
        flushRects();
        glBindTexture(GL_TEXTURE_2D, fontId);
        glEnable(GL_TEXTURE_2D);
        glColor4ub(colour.r, colour.g, colour.b, colour.a);
        glBegin(GL_QUADS);
    }

    void drawGlyph(const KilnGlyphQuad& g) override {
        const float x1 = g.x + g.size;
        const float y1 = g.y + g.size;
        glTexCoord2f(g.u, g.v);
        glVertex3f(g.x, g.y, 0);
        glTexCoord2f(g.u, g.v + g.dv);
        glVertex3f(g.x, y1, 0);
        glTexCoord2f(g.u + g.du, g.v + g.dv);
        glVertex3f(x1, y1, 0);
        glTexCoord2f(g.u + g.du, g.v);
        glVertex3f(x1, g.y, 0);
    }

    void endGlyphs() override {
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }

    void drawRect(const KilnRectShape& r) override {
        // Filled, unturned rectangles (walls, most effects) go into one open
        // GL_QUADS batch: a begin/end pair per rectangle cost more than the
        // drawing itself on a software renderer. The batch ends at the next
        // call of any other kind.
        if (r.angle == 0.0f && r.lineWidth <= 0) {
            if (!rectBatchOpen_) {
                glBegin(GL_QUADS);
                rectBatchOpen_ = true;
            }
            const auto x0 = static_cast<float>(r.x);
            const auto y0 = static_cast<float>(r.y);
            const auto x1 = static_cast<float>(r.x + r.w);
            const auto y1 = static_cast<float>(r.y + r.h);
            glColor4ub(r.colour.r, r.colour.g, r.colour.b, r.colour.a);
            glVertex3f(x0, y0, 0);
            glVertex3f(x1, y0, 0);
            glVertex3f(x1, y1, 0);
            glVertex3f(x0, y1, 0);
            return;
        }
        flushRects();
        glPushMatrix();
        glColor4ub(r.colour.r, r.colour.g, r.colour.b, r.colour.a);
        glTranslatef(static_cast<float>(r.x), static_cast<float>(r.y), 0);
        if (r.angle != 0.0f) {
            glTranslatef(static_cast<float>(r.w / 2), static_cast<float>(r.h / 2), 0);
            glRotatef(r.angle, 0, 0, -1);
            glTranslatef(static_cast<float>((-r.w) / 2), static_cast<float>((-r.h) / 2), 0);
        }
        beginShape(r.lineWidth);
        const auto w = static_cast<float>(r.w);
        const auto h = static_cast<float>(r.h);
        glVertex3f(0, 0, 0);
        glVertex3f(w, 0, 0);
        glVertex3f(w, h, 0);
        glVertex3f(0, h, 0);
        glEnd();
        glPopMatrix();
    }

    void drawCircle(const KilnCircleShape& c) override {
        flushRects();
        glDisable(GL_TEXTURE_2D);
        glPushMatrix();
        glColor4ub(c.colour.r, c.colour.g, c.colour.b, c.colour.a);
        beginShape(c.lineWidth);
        for (int i = 0; i < c.pointCount; ++i) glVertex3f(c.points[2 * i], c.points[2 * i + 1], 0);
        glEnd();
        glPopMatrix();
    }

    bool readPixels(std::vector<uint8_t>& rgb, int width, int height) override {
        flushRects();
        if (!context_) return false;
        if (picture_.exists()) return picture_.read(rgb, width, height);
        // Drawn straight into the window: only a picture at its own size can be read back whole.
        const KilnPictureRect picture = pictureInWindow();
        if (picture.width != KILN_PICTURE_WIDTH || picture.height != KILN_PICTURE_HEIGHT || width <= 0 ||
            height <= 0 || width > picture.width || height > picture.height) {
            return false;
        }
        rgb.resize(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(picture.x, drawableHeight() - picture.y - picture.height, width, height, GL_RGB,
                     GL_UNSIGNED_BYTE, rgb.data());
        return true;
    }

    bool saveScreenshot(const std::string& file, int width, int height) override {
        std::vector<uint8_t> rgb;
        return readPixels(rgb, width, height) && kilnSaveScreenshot(rgb, width, height, file);
    }

    bool readsResourceFiles() override { return true; }

    void setPictureScaling(KilnPictureScaling scaling) override { scaling_ = scaling; }

    KilnWindowGeometry geometry() override {
        KilnWindowGeometry geometry;
        if (!window_) return geometry;
        SDL_GetWindowSize(window_, &geometry.windowWidth, &geometry.windowHeight);
        SDL_GL_GetDrawableSize(window_, &geometry.drawableWidth, &geometry.drawableHeight);
        return geometry;
    }

private:
    KilnPictureRect pictureInWindow() {
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(window_, &width, &height);
        return kilnFitPicture(width, height, scaling_);
    }

    int drawableHeight() {
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(window_, &width, &height);
        return height;
    }

    // Without the off-screen picture the scenes draw into the window through
    // a viewport over the picture's place, the bars cleared black first.
    void drawIntoWindow(bool clearBars) {
        if (!window_) return;
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(window_, &width, &height);
        if (clearBars) {
            glViewport(0, 0, width, height);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        const KilnPictureRect picture = kilnFitPicture(width, height, scaling_);
        glViewport(picture.x, height - picture.y - picture.height, picture.width, picture.height);
    }

    void flushRects() {
        if (!rectBatchOpen_) return;
        glEnd();
        rectBatchOpen_ = false;
    }

    static void enableBlend(GLenum source, GLenum destination) {
        glEnable(GL_BLEND);
        glBlendFunc(source, destination);
    }

    static void beginShape(int lineWidth) {
        if (lineWidth <= 0) {
            glBegin(GL_POLYGON);
        } else {
            glLineWidth(static_cast<float>(lineWidth));
            glBegin(GL_LINE_LOOP);
        }
    }

    const bool offscreenPicture_;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    SdlPictureTarget picture_;
    KilnPictureScaling scaling_ = PICTURE_SMOOTH;
    int windowedWidth_ = 0;  // the window's size before full screen, to return to
    int windowedHeight_ = 0;
    bool videoUp_ = false;
    bool rectBatchOpen_ = false;
    int blendMode_ = -1;  // the mode last applied; -1 when not known
};

// SDL's keyboard and mouse state say only what is held when they are read;
// a press that came and went between two frames is known only from its
// down event, so the events latch every press until the frame takes it.
class SdlInput final : public KilnInput {
public:
    uint32_t ticks() override { return SDL_GetTicks(); }
    void delayOneMs() override { SDL_Delay(1); }
    uint8_t mouseButtons() override { return static_cast<uint8_t>(SDL_GetMouseState(nullptr, nullptr)); }
    uint8_t takeMouseButtonPresses() override { return std::exchange(mouseButtonPresses_, uint8_t{0}); }
    int mouseX() override {
        int x = 0;
        SDL_GetMouseState(&x, nullptr);
        return x;
    }
    int mouseY() override {
        int y = 0;
        SDL_GetMouseState(nullptr, &y);
        return y;
    }
    void readKeys(std::array<bool, 323>& keys) override {
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        kilnKeysFromScancodes(state, count, keys);
    }
    void takeKeyPresses(std::array<bool, 323>& pressed) override {
        kilnKeysFromScancodes(scancodePresses_.data(), static_cast<int>(scancodePresses_.size()), pressed);
        scancodePresses_.fill(0);
    }
    void pollEvents(KilnWindowEvents& events) override {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            switch (event.type) {
                case SDL_QUIT: events.quit = true; break;
                case SDL_KEYDOWN:
                    if (event.key.repeat == 0 && event.key.keysym.scancode >= 0 &&
                        event.key.keysym.scancode < SDL_NUM_SCANCODES) {
                        scancodePresses_[static_cast<size_t>(event.key.keysym.scancode)] = 1;
                    }
                    break;
                case SDL_MOUSEBUTTONDOWN:
                    if (event.button.button >= 1 && event.button.button <= 8) {
                        mouseButtonPresses_ |= static_cast<uint8_t>(SDL_BUTTON(event.button.button));
                    }
                    break;
                case SDL_WINDOWEVENT:
                    if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                        event.window.event == SDL_WINDOWEVENT_MINIMIZED) {
                        events.focusLost = true;
                    }
                    break;
                // Every device, controller or not, comes as a joystick first;
                // the controller events that follow for mapped ones say nothing new.
                case SDL_JOYDEVICEADDED: events.devicesAdded.push_back(event.jdevice.which); break;
                case SDL_JOYDEVICEREMOVED: events.devicesRemoved.push_back(event.jdevice.which); break;
                case SDL_DROPFILE:
                    if (event.drop.file != nullptr) {
                        events.droppedFile = event.drop.file;
                        SDL_free(event.drop.file);
                    }
                    break;
                default: break;
            }
        }
    }

private:
    // In SDL_GetKeyboardState's layout: 1 for a scancode that went down.
    std::array<uint8_t, SDL_NUM_SCANCODES> scancodePresses_{};
    uint8_t mouseButtonPresses_ = 0;
};

}  // namespace

std::unique_ptr<KilnVideo> kilnMakeSdlGlVideo() { return std::make_unique<SdlGlVideo>(true); }

std::unique_ptr<KilnVideo> kilnMakeSdlGlVideoWithoutPicture() { return std::make_unique<SdlGlVideo>(false); }

std::unique_ptr<KilnInput> kilnMakeSdlInput() { return std::make_unique<SdlInput>(); }

void Kiln_useRealBackend() { kilnInstallBackend(kilnMakeRealBackend()); }

std::unique_ptr<KilnBackend> kilnMakeRealBackend() {
    auto backend = std::make_unique<KilnBackend>();
    backend->video = kilnMakeSdlGlVideo();
    backend->input = kilnMakeSdlInput();
    backend->joysticks = kilnMakeSdlJoysticks();
    backend->audio = kilnMakeSdlAudio();
    return backend;
}
