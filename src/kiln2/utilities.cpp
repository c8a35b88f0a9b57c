// Small services: the global integer table that outlives scenes, sine and
// cosine in degrees, and the fps/load overlay.
#include <cmath>
#include <string>

#include "kiln2/kiln_state.h"

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

size_t checkedSlot(int index, const char* who) {
    if (index < 0 || index >= KILN_GLOBAL_INT_COUNT) {
        throw KilnError(std::string(who) + ": index out of range: " + std::to_string(index));
    }
    return static_cast<size_t>(index);
}

}  // namespace

void Kiln_setGlobalInt(int index, int value) {
    kilnState().globalInts[checkedSlot(index, "Kiln_setGlobalInt")] = value;
}

int Kiln_getGlobalInt(int index) { return kilnState().globalInts[checkedSlot(index, "Kiln_getGlobalInt")]; }

// The play field turns angles into vectors with these; the extended
// precision keeps its results the same everywhere it runs.
long double Kiln_sin(float degrees) { return sinl(static_cast<long double>(degrees) / 180.0L * kPi); }

long double Kiln_cos(float degrees) { return cosl(static_cast<long double>(degrees) / 180.0L * kPi); }

int Kiln_getFps() { return kilnState().fps; }

int Kiln_getCpuPercent() { return kilnState().cpuPercent; }

void Kiln_drawFps(int x, int y) {
    const KilnState& state = kilnState();
    if (x < 0 || y < 0) {
        x = 10;
        y = state.screenHeight - 24;
    }
    Kiln_drawText("FPS:" + std::to_string(state.fps), x, y, 1.0f, 255, 255, 255, 255);
    Kiln_drawText("CPU:" + std::to_string(state.cpuPercent), x, y + 8, 1.0f, 255, 255, 255, 255);
}
