// Reading one HTTP request from bytes already in hand, with the listener's
// limits and refusals, and no socket: what the listener would hand the
// service, or the status it would answer without asking the service.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "scoreserver/http_message.h"

namespace scoreserver {

struct ListenerRefusal {
    int status = 400;  // 400, 413 or 431
    std::string message;
};

struct FramedRequest {
    std::optional<HttpRequest> request;  // read whole and within the limits
    std::optional<ListenerRefusal> refusal;
    // Neither: the bytes end before anything began and the connection just closes.
};

// The bytes are all the client sends before closing its side.
FramedRequest frameRequest(std::string_view bytes, std::size_t headerLimit, std::size_t bodyLimit);

}  // namespace scoreserver
