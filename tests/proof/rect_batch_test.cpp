// The real window draws runs of plain rectangles as one batch. Whatever
// comes between them (a blend change, text, a turned or outlined rectangle,
// the clear) must still take effect in order: read back, every pixel is what
// drawing them one by one gives. Needs a display (xvfb-run); skipped without.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "kiln2/backend.h"
#include "kiln2_sdl/real_backend.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "proof_support.h"

namespace {

struct Pixel {
    int r, g, b;
};

class RectBatch : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        proof::linkRepositoryResources();
        kiln_headless::reset();
        Kiln_useRealBackend();
        try {
            Kiln_init("KVR2013 test", 640, 480, false, false);
        } catch (const KilnError& e) {
            GTEST_SKIP() << "no GL window: " << e.what();
        }
        started_ = true;
    }
    void TearDown() override {
        if (started_) Kiln_quit();
        kiln_headless::reset();
    }

    // Pixel (x, y) of the picture drawn so far, top-left origin.
    Pixel at(int x, int y) {
        std::vector<uint8_t> rgb;
        EXPECT_TRUE(kilnBackend().video->readPixels(rgb, 640, 480));
        const size_t row = static_cast<size_t>(479 - y) * 640 * 3;
        const size_t i = row + static_cast<size_t>(x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }

    proof::ScratchDir scratch;
    bool started_ = false;
};

#define EXPECT_PIXEL(x, y, R, G, B)                                    \
    do {                                                               \
        const Pixel p = at(x, y);                                      \
        EXPECT_NEAR(p.r, R, 2) << "at " << (x) << "," << (y);          \
        EXPECT_NEAR(p.g, G, 2) << "at " << (x) << "," << (y);          \
        EXPECT_NEAR(p.b, B, 2) << "at " << (x) << "," << (y);          \
    } while (0)

TEST_F(RectBatch, WhatComesBetweenRectanglesTakesEffectInOrder) {
    Kiln_resetView();
    Kiln_clear();
    Kiln_setBlendMode(BLEND_NONE);
    Kiln_drawRect(10, 10, 40, 40, 0, 0.0f, 255, 0, 0, 255);   // red
    Kiln_drawRect(30, 30, 40, 40, 0, 0.0f, 0, 255, 0, 255);   // green, over the red's corner
    Kiln_setBlendMode(BLEND_ALPHA);
    Kiln_drawRect(40, 40, 10, 10, 0, 0.0f, 0, 0, 255, 128);   // half-transparent blue over green
    Kiln_drawText("A", 100, 100, 2.0f, 255, 255, 255, 255);   // text between two rectangles
    Kiln_drawRect(200, 10, 20, 20, 0, 0.0f, 255, 255, 0, 255);  // yellow, after the text
    Kiln_drawRect(300, 10, 40, 40, 2, 0.0f, 0, 255, 255, 255);  // outline only: not batched
    Kiln_drawRect(400, 10, 40, 20, 0, 90.0f, 255, 0, 255, 255);  // turned a quarter: 20 wide, 40 tall
    Kiln_setBlendMode(BLEND_ADD);
    Kiln_drawRect(10, 200, 20, 20, 0, 0.0f, 100, 0, 0, 255);
    Kiln_drawRect(10, 200, 20, 20, 0, 0.0f, 100, 0, 0, 255);  // added twice: 200

    EXPECT_PIXEL(15, 15, 255, 0, 0);
    EXPECT_PIXEL(35, 35, 0, 255, 0);
    EXPECT_PIXEL(45, 45, 0, 127, 128);
    EXPECT_PIXEL(210, 20, 255, 255, 0);
    EXPECT_PIXEL(300, 30, 0, 255, 255);  // on the outline
    EXPECT_PIXEL(320, 30, 0, 0, 0);      // inside it: empty
    EXPECT_PIXEL(420, 5, 255, 0, 255);   // the turned one reaches above its unturned top
    EXPECT_PIXEL(402, 20, 0, 0, 0);      // and no longer covers its unturned left end
    EXPECT_PIXEL(20, 210, 200, 0, 0);
    EXPECT_PIXEL(5, 5, 0, 0, 0);
    Kiln_flip();

    // The clear starts the next frame empty, even right after a batch.
    Kiln_setBlendMode(BLEND_NONE);
    Kiln_drawRect(10, 10, 40, 40, 0, 0.0f, 255, 0, 0, 255);
    Kiln_clear();
    Kiln_drawRect(60, 60, 10, 10, 0, 0.0f, 0, 0, 255, 255);
    EXPECT_PIXEL(15, 15, 0, 0, 0);
    EXPECT_PIXEL(65, 65, 0, 0, 255);
}

}  // namespace
