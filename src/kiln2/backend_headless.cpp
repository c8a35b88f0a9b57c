// The headless backend: no window, no GL, no audio device and no sleeping.
// It answers from KilnHeadlessWorld and records what would have been drawn
// and heard, so tests and the replay verifier run the framework's real logic.
#include "kiln2/backend_headless.h"

#include <cstdio>
#include <memory>

namespace {

using World = std::shared_ptr<KilnHeadlessWorld>;

class HeadlessVideo final : public KilnVideo {
public:
    explicit HeadlessVideo(World world) : world_(std::move(world)) {}

    void open(int, int, bool fullScreen) override { world_->fullScreen = fullScreen; }
    void close() override {}
    void setFullScreen(bool on) override { world_->fullScreen = on; }
    void setCaption(const std::string&) override {}
    void setIcon(const std::string&) override {}
    void iconify() override {}
    bool isCursorShown() override { return world_->cursorShown; }
    void showCursor(bool shown) override { world_->cursorShown = shown; }
    void setupView(int, int) override {}
    void initDrawState() override {}
    void swap() override {}
    void clear() override {
        if (!recording()) return;
        KilnDrawCall call;
        call.kind = KilnDrawCall::CLEAR;
        world_->drawCalls.push_back(call);
    }
    void resetView() override {}
    void applyBlendMode(int mode) override { world_->appliedBlendMode = mode; }
    void disableTexturing() override {}
    uint32_t uploadTexture(const uint8_t*, int, int) override { return world_->nextTextureId++; }
    void deleteTexture(uint32_t) override {}
    void bindTexture(uint32_t) override {}

    void drawTexture(const KilnTextureQuad& q) override {
        if (!recording()) return;
        KilnDrawCall call;
        call.kind = KilnDrawCall::TEXTURE;
        if (q.key) call.key = *q.key;
        call.x = q.x;
        call.y = q.y;
        call.w = q.w;
        call.h = q.h;
        call.srcX = q.srcX;
        call.srcY = q.srcY;
        call.srcW = q.srcW;
        call.srcH = q.srcH;
        call.angle = q.angle;
        setColour(call, q.colour, q.blendMode);
        world_->drawCalls.push_back(std::move(call));
    }

    void beginGlyphs(uint32_t, KilnColour) override {}

    void drawGlyph(const KilnGlyphQuad& g) override {
        if (!recording()) return;
        KilnDrawCall call;
        call.kind = KilnDrawCall::GLYPH;
        call.key = "font";
        call.x = g.x;
        call.y = g.y;
        call.w = g.size;
        call.h = g.size;
        call.srcX = g.cellX;
        call.srcY = g.cellY;
        call.srcW = 8;
        call.srcH = 8;
        call.glyph = g.glyph;
        setColour(call, g.colour, g.blendMode);
        world_->drawCalls.push_back(std::move(call));
    }

    void endGlyphs() override {}

    void drawRect(const KilnRectShape& r) override {
        if (!recording()) return;
        KilnDrawCall call;
        call.kind = KilnDrawCall::RECT;
        call.x = static_cast<float>(r.x);
        call.y = static_cast<float>(r.y);
        call.w = static_cast<float>(r.w);
        call.h = static_cast<float>(r.h);
        call.angle = r.angle;
        call.lineWidth = r.lineWidth;
        setColour(call, r.colour, r.blendMode);
        world_->drawCalls.push_back(std::move(call));
    }

    void drawCircle(const KilnCircleShape& c) override {
        if (!recording()) return;
        KilnDrawCall call;
        call.kind = KilnDrawCall::CIRCLE;
        call.x = c.x;
        call.y = c.y;
        call.w = c.radius;
        call.lineWidth = c.lineWidth;
        setColour(call, c.colour, c.blendMode);
        world_->drawCalls.push_back(std::move(call));
    }

    bool readPixels(std::vector<uint8_t>&, int, int) override { return false; }
    // No picture to read: a stand-in text file takes its place, so the
    // numbering of F12's files can be tested without a window.
    bool saveScreenshot(const std::string& file, int width, int height) override {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (!out) return false;
        const bool written = std::fprintf(out, "headless screenshot %dx%d\n", width, height) > 0;
        return std::fclose(out) == 0 && written;
    }
    bool readsResourceFiles() override { return world_->options.readResourceFiles; }

private:
    bool recording() const { return world_->options.recordDrawCalls; }

    static void setColour(KilnDrawCall& call, KilnColour colour, int blendMode) {
        call.r = colour.r;
        call.g = colour.g;
        call.b = colour.b;
        call.a = colour.a;
        call.blendMode = blendMode;
    }

    World world_;
};

class HeadlessInput final : public KilnInput {
public:
    explicit HeadlessInput(World world) : world_(std::move(world)) {}

    uint32_t ticks() override { return world_->ticks; }
    void delayOneMs() override { world_->ticks += 1; }
    uint8_t mouseButtons() override { return world_->mouseButtons; }
    int mouseX() override { return world_->mouseX; }
    int mouseY() override { return world_->mouseY; }
    void readKeys(std::array<bool, 323>& keys) override { keys = world_->keys; }
    void pollEvents(KilnWindowEvents& events) override {
        events.quit = world_->quitPending;
        world_->quitPending = false;
        events.droppedFile = std::move(world_->droppedFile);
        world_->droppedFile.clear();
    }

private:
    World world_;
};

// Devices 0..n-1 are the attached slots up to the highest one; a gap below
// it reads as a device without buttons.
class HeadlessJoysticks final : public KilnJoystickDevices {
public:
    explicit HeadlessJoysticks(World world) : world_(std::move(world)) {}

    void start() override {}
    void stop() override {}
    int deviceCount() override {
        int count = 0;
        for (int slot = 0; slot < 4; ++slot) {
            if (world_->sticks[static_cast<size_t>(slot)].attached) count = slot + 1;
        }
        return count;
    }
    int open(int slot) override { return world_->sticks[static_cast<size_t>(slot)].buttonCount; }
    void close(int) override {}
    void update() override {}
    bool button(int slot, int button) override {
        const auto& stick = world_->sticks[static_cast<size_t>(slot)];
        return button >= 0 && button < static_cast<int>(stick.buttons.size()) && stick.buttons[static_cast<size_t>(button)];
    }
    int16_t axis(int slot, int axis) override {
        const auto& stick = world_->sticks[static_cast<size_t>(slot)];
        return axis == 0 ? stick.x : axis == 1 ? stick.y : 0;
    }

private:
    World world_;
};

class HeadlessAudio final : public KilnAudio {
public:
    explicit HeadlessAudio(World world) : world_(std::move(world)) {}

    bool open(std::string&) override { return true; }
    void close() override {}

    bool loadChunk(const std::string& file, KilnSoundHandle& chunk, std::string& error) override {
        chunk = nullptr;
        return !world_->options.readResourceFiles || kilnCheckWavFile(file, error);
    }
    void freeChunk(KilnSoundHandle) override {}
    void playChunk(const std::string& key, KilnSoundHandle, int loops, int) override {
        record(KilnSoundEvent::PLAY_WAV, key, loops);
    }
    void haltChannel(int channel) override { record(KilnSoundEvent::STOP_WAV, "", channel); }
    bool loadMusic(const std::string& file, KilnMusicHandle& music, std::string& error) override {
        music = nullptr;
        return !world_->options.readResourceFiles || kilnCheckFileOpens(file, error);
    }
    void freeMusic(KilnMusicHandle) override {}
    bool playMusic(const std::string& file, KilnMusicHandle, int loops, int, std::string&) override {
        record(KilnSoundEvent::PLAY_BGM, file, loops);
        return true;
    }
    void stopMusic(int fadeOutMs) override { record(KilnSoundEvent::STOP_BGM, "", fadeOutMs); }

private:
    void record(KilnSoundEvent::Kind kind, const std::string& name, int value) {
        KilnSoundEvent event;
        event.kind = kind;
        event.name = name;
        event.value = value;
        world_->soundEvents.push_back(std::move(event));
    }

    World world_;
};

}  // namespace

std::unique_ptr<KilnBackend> kilnMakeHeadlessBackend(const KilnHeadlessOptions& options) {
    auto world = std::make_shared<KilnHeadlessWorld>(options);
    auto backend = std::make_unique<KilnBackend>();
    backend->video = std::make_unique<HeadlessVideo>(world);
    backend->input = std::make_unique<HeadlessInput>(world);
    backend->joysticks = std::make_unique<HeadlessJoysticks>(world);
    backend->audio = std::make_unique<HeadlessAudio>(world);
    backend->log.writeRunLog = options.writeRunLog;
    backend->log.toStderr = options.logToStderr;
    backend->log.echo = options.echoLog;
    backend->headless = world;
    backend->discardsDrawing = !options.recordDrawCalls;
    return backend;
}
