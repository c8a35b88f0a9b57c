// The headless backend: no window, no GL, no audio device and no sleeping.
// It answers from KilnHeadlessWorld and records what would have been drawn
// and heard, so tests and the replay verifier run the framework's real logic.
#include "kiln2/backend_headless.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace {

using World = std::shared_ptr<KilnHeadlessWorld>;

class HeadlessVideo final : public KilnVideo {
public:
    explicit HeadlessVideo(World world) : world_(std::move(world)) {}

    void open(int width, int height, bool fullScreen) override {
        world_->fullScreen = fullScreen;
        world_->window = {width, height, width, height};
    }
    void close() override {}
    void setFullScreen(bool on) override { world_->fullScreen = on; }
    void setCaption(const std::string&) override {}
    void setIcon(const std::string&) override {}
    void iconify() override {}
    bool isCursorShown() override { return world_->cursorShown; }
    void showCursor(bool shown) override { world_->cursorShown = shown; }
    void setupView(int, int) override {}
    void initDrawState() override {}
    void swap(const KilnPictureCells&) override {}
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
    void setPictureScaling(KilnPictureScaling scaling) override { world_->pictureScaling = scaling; }
    KilnWindowGeometry geometry() override { return world_->window; }

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
    uint8_t takeMouseButtonPresses() override { return std::exchange(world_->mouseButtonPresses, uint8_t{0}); }
    int mouseX() override { return world_->mouseX; }
    int mouseY() override { return world_->mouseY; }
    void readKeys(std::array<bool, 323>& keys) override { keys = world_->keys; }
    void takeKeyPresses(std::array<bool, 323>& pressed) override {
        pressed = world_->keyPresses;
        world_->keyPresses.fill(false);
    }
    void pollEvents(KilnWindowEvents& events) override {
        events.quit = world_->quitPending;
        world_->quitPending = false;
        events.focusLost = world_->focusLostPending;
        world_->focusLostPending = false;
        events.devicesRemoved = world_->announcedRemoved;
        world_->announcedRemoved.clear();
        // Indices as they count when the events are read, like a platform's.
        for (int id : world_->announcedAdded) {
            const KilnHeadlessWorld::Device* added = world_->device(id);
            if (!added || !added->present) continue;
            int index = 0;
            for (const auto& d : world_->devices) {
                if (d.id == id) break;
                if (d.present) ++index;
            }
            events.devicesAdded.push_back(index);
        }
        world_->announcedAdded.clear();
        events.droppedFile = std::move(world_->droppedFile);
        world_->droppedFile.clear();
    }

private:
    World world_;
};

// Device index i is the i-th plugged-in device in the order they were
// attached; ids are the order of attaching and are never reused.
class HeadlessJoysticks final : public KilnJoystickDevices {
public:
    explicit HeadlessJoysticks(World world) : world_(std::move(world)) {}

    void start() override { world_->devicesStarted = true; }
    void stop() override { world_->devicesStarted = false; }
    int deviceCount() override {
        int count = 0;
        for (const auto& d : world_->devices) count += d.present ? 1 : 0;
        return count;
    }
    int deviceId(int index) override {
        const auto* d = world_->presentDevice(index);
        return d ? d->id : -1;
    }
    KilnDeviceInfo open(int index) override {
        auto* d = world_->presentDevice(index);
        if (!d) throw KilnError("No such device index " + std::to_string(index));
        d->opened = true;
        return {d->id, d->name, d->mapped, d->buttonCount};
    }
    void close(int id) override {
        if (auto* d = world_->device(id)) d->opened = false;
    }
    void update() override {
        for (auto& d : world_->devices) {
            d.buttonsWentDown = std::exchange(d.buttonPresses, std::vector<bool>(d.buttons.size(), false));
            d.inputsWentDown = std::exchange(d.inputPresses, {});
        }
    }
    bool button(int id, int button) override {
        const auto* d = readable(id);
        return d && button >= 0 && button < static_cast<int>(d->buttons.size()) &&
               d->buttons[static_cast<size_t>(button)];
    }
    bool buttonWentDown(int id, int button) override {
        const auto* d = readable(id);
        return d && button >= 0 && button < static_cast<int>(d->buttonsWentDown.size()) &&
               d->buttonsWentDown[static_cast<size_t>(button)];
    }
    int16_t axis(int id, int axis) override {
        const auto* d = readable(id);
        if (!d) return 0;
        return axis == 0 ? d->x : axis == 1 ? d->y : 0;
    }
    bool controllerInput(int id, KilnControllerInput input) override {
        const auto* d = readable(id);
        return d && d->mapped && input >= 0 && input < CONTROLLER_INPUT_COUNT && d->inputs[static_cast<size_t>(input)];
    }
    bool controllerInputWentDown(int id, KilnControllerInput input) override {
        const auto* d = readable(id);
        return d && d->mapped && input >= 0 && input < CONTROLLER_INPUT_COUNT &&
               d->inputsWentDown[static_cast<size_t>(input)];
    }
    int16_t controllerStick(int id, int axis) override {
        const auto* d = readable(id);
        if (!d || !d->mapped) return 0;
        return axis == 0 ? d->stickX : axis == 1 ? d->stickY : 0;
    }
    bool addMapping(const std::string& line, std::string& error) override {
        if (!world_->mappingRefusal.empty()) {
            error = world_->mappingRefusal;
            return false;
        }
        world_->mappings.push_back(line);
        return true;
    }
    std::string environmentMappings() override { return world_->environmentMappings; }

private:
    // A device reads as at rest once it is pulled out, as a real one does.
    const KilnHeadlessWorld::Device* readable(int id) const {
        const auto* d = world_->device(id);
        return d && d->present ? d : nullptr;
    }

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
    void setMusicVolume(int mixerLevel) override { record(KilnSoundEvent::MUSIC_VOLUME, "", mixerLevel); }
    void setEffectsVolume(int mixerLevel) override { record(KilnSoundEvent::EFFECTS_VOLUME, "", mixerLevel); }

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
