// Drawing calls of the game: textured rectangles cut from a texture, plain
// rectangles, circles, the blend mode and the draw offset that shakes the
// whole picture. The backend only draws what these calls have worked out.
#include <algorithm>
#include <cmath>

#include "kiln2/kiln_state.h"

namespace {

// The circle's outline: angles 0, 0.3, 0.6 ... below 2 pi plus a little,
// accumulated in float as the game always drew it (21 points).
struct UnitCircle {
    float cosines[32];
    float sines[32];
    int count = 0;
    UnitCircle() {
        for (float t = 0.0f; t < 6.284271240234375f && count < 32; t += 0.3f) {
            cosines[count] = std::cos(t);
            sines[count] = std::sin(t);
            ++count;
        }
    }
};

const UnitCircle& unitCircle() {
    static const UnitCircle circle;
    return circle;
}

// Notes the part of the picture a shape of w x h at (x, y) may touch: turned
// about its centre it stays inside the circle through its corners, and an
// outline's lines reach half their width beyond it. One pixel more keeps
// the rasteriser's rounding inside.
void markDrawn(float x, float y, float w, float h, float angle, float lineWidth) {
    float x0 = std::min(x, x + w), x1 = std::max(x, x + w);
    float y0 = std::min(y, y + h), y1 = std::max(y, y + h);
    if (angle != 0.0f) {
        const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        const float reach = std::sqrt(w * w + h * h) / 2;
        x0 = cx - reach;
        x1 = cx + reach;
        y0 = cy - reach;
        y1 = cy + reach;
    }
    const float margin = 1.0f + std::max(lineWidth, 0.0f);
    kilnState().drawnCells.mark(x0 - margin, y0 - margin, x1 + margin, y1 + margin);
}

}  // namespace

void Kiln_drawTexture(const std::string& key, float x, float y, int srcX, int srcY, int srcW, int srcH,
                      float scaleX, float scaleY, float angle, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    KilnState& state = kilnState();
    x += static_cast<float>(state.drawOffsetX);
    y += static_cast<float>(state.drawOffsetY);
    auto found = state.textures.find(key);
    if (found == state.textures.end()) throw KilnError("Kiln_drawTexture: Has not exist key: " + key);
    if (kilnDrawingDiscarded) return;
    Texture& texture = *found->second;
    if (srcW == 0 || srcH == 0) {
        srcW = texture.width;
        srcH = texture.height;
    }
    KilnTextureQuad quad;
    quad.key = &found->first;
    quad.textureId = texture.id;
    quad.x = x;
    quad.y = y;
    quad.w = static_cast<float>(srcW) * scaleX;
    quad.h = static_cast<float>(srcH) * scaleY;
    quad.srcX = srcX;
    quad.srcY = srcY;
    quad.srcW = srcW;
    quad.srcH = srcH;
    if (texture.width > 0 && texture.height > 0) {
        const float width = static_cast<float>(texture.width);
        const float height = static_cast<float>(texture.height);
        quad.u0 = static_cast<float>(srcX) / width;
        quad.v0 = static_cast<float>(srcY) / height;
        quad.du = static_cast<float>(srcW) / width;
        quad.dv = static_cast<float>(srcH) / height;
    }
    quad.angle = angle;
    quad.colour = {r, g, b, a};
    quad.blendMode = state.blendMode;
    markDrawn(quad.x, quad.y, quad.w, quad.h, angle, 0.0f);
    texture.bind();
    kilnBackend().video->drawTexture(quad);
}

void Kiln_drawRect(int x, int y, int w, int h, int lineWidth, float angle, uint8_t r, uint8_t g, uint8_t b,
                   uint8_t a) {
    if (kilnDrawingDiscarded) return;
    KilnState& state = kilnState();
    KilnVideo& video = *kilnBackend().video;
    video.disableTexturing();
    x += state.drawOffsetX;
    y += state.drawOffsetY;
    if (w == 0 || h == 0) {
        w = state.screenWidth;
        h = state.screenHeight;
    }
    KilnRectShape rect;
    rect.x = x;
    rect.y = y;
    rect.w = w;
    rect.h = h;
    rect.lineWidth = lineWidth;
    rect.angle = angle;
    rect.colour = {r, g, b, a};
    rect.blendMode = state.blendMode;
    markDrawn(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), static_cast<float>(h), angle,
              static_cast<float>(lineWidth));
    video.drawRect(rect);
}

void Kiln_drawRectCentered(int cx, int cy, int halfW, int halfH, int lineWidth, float angle, uint8_t r, uint8_t g,
                           uint8_t b, uint8_t a) {
    if (kilnDrawingDiscarded) return;
    Kiln_drawRect(cx - halfW, cy - halfH, halfW * 2, halfH * 2, lineWidth, angle, r, g, b, a);
}

void Kiln_drawCircle(float x, float y, float radius, int lineWidth, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (kilnDrawingDiscarded) return;
    KilnState& state = kilnState();
    x += static_cast<float>(state.drawOffsetX);
    y += static_cast<float>(state.drawOffsetY);
    if (!(radius > 0.0f)) return;
    const UnitCircle& unit = unitCircle();
    float points[64];
    for (int i = 0; i < unit.count; ++i) {
        points[2 * i] = x + unit.cosines[i] * radius;
        points[2 * i + 1] = y + unit.sines[i] * radius;
    }
    KilnCircleShape circle;
    circle.x = x;
    circle.y = y;
    circle.radius = radius;
    circle.lineWidth = lineWidth;
    circle.points = points;
    circle.pointCount = unit.count;
    circle.colour = {r, g, b, a};
    circle.blendMode = state.blendMode;
    markDrawn(x - radius, y - radius, 2 * radius, 2 * radius, 0.0f, static_cast<float>(lineWidth));
    kilnBackend().video->drawCircle(circle);
}

void Kiln_setBlendMode(int mode) {
    kilnState().blendMode = mode;
    if (kilnDrawingDiscarded) return;
    kilnBackend().video->applyBlendMode(mode);
}

int Kiln_getBlendMode() { return kilnState().blendMode; }

bool Kiln_isDrawingDiscarded() { return kilnDrawingDiscarded; }

void Kiln_setDrawOffset(int x, int y) {
    if (kilnQuiet) return;
    KilnState& state = kilnState();
    state.drawOffsetX = x;
    state.drawOffsetY = y;
}

void Kiln_disableTexture() { kilnBackend().video->disableTexturing(); }
