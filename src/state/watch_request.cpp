// The one pending watch request; see watch_request.h.
#include "state/watch_request.h"

namespace {

std::optional<WatchRequest>& pendingRequest() {
    static std::optional<WatchRequest> pending;
    return pending;
}

}  // namespace

void requestWatch(const WatchRequest& request) { pendingRequest() = request; }

std::optional<WatchRequest> takeWatchRequest() {
    std::optional<WatchRequest> taken = std::move(pendingRequest());
    pendingRequest().reset();
    return taken;
}
