#include "scoreserver/request_framing.h"

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/error.hpp>

#include <cctype>

#include "scoreserver/request_framing_beast.h"

namespace scoreserver {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

void limitParser(RequestParser& parser, std::size_t headerLimit, std::size_t bodyLimit) {
    parser.header_limit(static_cast<std::uint32_t>(headerLimit));
    parser.body_limit(bodyLimit);
}

std::optional<ListenerRefusal> refuseHeader(const RequestParser& parser, std::size_t bodyLimit) {
    const auto& request = parser.get();
    // A body in gzip or deflate could unpack to far more than the limit
    // counts; the game never compresses a replay, so none is taken.
    auto encoding = request[http::field::content_encoding];
    if (!encoding.empty() && !beast::iequals(encoding, "identity")) {
        return ListenerRefusal{400, "compressed request bodies are not accepted"};
    }
    // Refused before the client sends a byte of an oversized body.
    if (auto length = parser.content_length(); length && *length > bodyLimit) {
        return ListenerRefusal{413, "the body is larger than 864000 bytes"};
    }
    return std::nullopt;
}

std::optional<ListenerRefusal> refuseReadError(const beast::error_code& ec) {
    if (ec == http::error::end_of_stream || ec == net::error::eof || ec == net::error::connection_reset ||
        ec == net::error::operation_aborted || ec == beast::error::timeout) {
        return std::nullopt;
    }
    if (ec == http::error::body_limit) return ListenerRefusal{413, "the body is larger than 864000 bytes"};
    if (ec == http::error::header_limit) return ListenerRefusal{431, "the request header is too large"};
    return ListenerRefusal{400, "malformed request"};
}

HttpRequest toHttpRequest(http::request<http::string_body>&& message) {
    HttpRequest request;
    request.method = std::string(message.method_string());
    request.target = std::string(message.target());
    for (const auto& field : message) {
        std::string name(field.name_string());
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        request.headers.emplace_back(std::move(name), std::string(field.value()));
    }
    request.body = std::move(message.body());
    return request;
}

FramedRequest frameRequest(std::string_view bytes, std::size_t headerLimit, std::size_t bodyLimit) {
    RequestParser parser;
    limitParser(parser, headerLimit, bodyLimit);
    FramedRequest out;
    std::size_t used = 0;
    bool headerChecked = false;
    beast::error_code ec;
    while (!parser.is_done()) {
        const std::size_t taken = parser.put(net::const_buffer(bytes.data() + used, bytes.size() - used), ec);
        used += taken;
        // The parser stops after the header; past it, taking nothing means
        // it waits for bytes that are not there.
        const bool headerJustDone = !headerChecked && parser.is_header_done();
        if (ec == http::error::need_more || (!ec && !parser.is_done() && taken == 0 && !headerJustDone)) {
            // Nothing more is coming: as a socket read does, a close before
            // the first byte ends the stream, and later the parser is told.
            ec = {};
            if (parser.got_some()) {
                parser.put_eof(ec);
            } else {
                ec = http::error::end_of_stream;
            }
            if (!ec && !parser.is_done()) ec = http::error::partial_message;
        }
        if (ec) {
            out.refusal = refuseReadError(ec);
            return out;
        }
        if (headerJustDone) {
            headerChecked = true;
            if ((out.refusal = refuseHeader(parser, bodyLimit))) return out;
            parser.eager(true);
        }
    }
    out.request = toHttpRequest(parser.release());
    return out;
}

}  // namespace scoreserver
