// Owns the framework's process-wide state and the choice of backend.
#include "kiln2/kiln_state.h"

#include <chrono>

namespace {

std::unique_ptr<KilnBackend>& backendSlot() {
    static std::unique_ptr<KilnBackend> backend;
    return backend;
}

KilnState& stateSlot() {
    static KilnState state = [] {
        KilnState fresh;
        kilnSeedFromClock(fresh);
        return fresh;
    }();
    return state;
}

}  // namespace

KilnState& kilnState() { return stateSlot(); }

void kilnSeedFromClock(KilnState& state) {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const auto bits = static_cast<uint64_t>(now);
    state.random.seed = static_cast<uint32_t>(bits);
    state.random.index = static_cast<uint32_t>(bits >> 32);
}

void kilnResetState() {
    KilnState& state = stateSlot();
    // Textures give their ids back to the backend that made them, so they go
    // while it is still there.
    state.textures.clear();
    state.font.reset();
    state = KilnState{};
    kilnSeedFromClock(state);
}

KilnBackend* kilnInstalledBackend() { return backendSlot().get(); }

KilnBackend& kilnBackend() {
    auto& backend = backendSlot();
    if (!backend) throw KilnError("Kiln: no backend installed (the program must choose one before Kiln_init)");
    return *backend;
}

void kilnInstallBackend(std::unique_ptr<KilnBackend> backend) {
    KilnState& state = stateSlot();
    state.textures.clear();
    state.font.reset();
    backendSlot() = std::move(backend);
    kilnDrawingDiscarded = backendSlot() && backendSlot()->discardsDrawing;
}

void Kiln_useHeadlessBackend(const KilnHeadlessOptions& options) {
    kilnInstallBackend(kilnMakeHeadlessBackend(options));
}
