// The listener's decisions about a request as Boost.Beast reads it, shared
// by the socket session and frameRequest(). Only the listener's files
// include this header (Beast is slow to compile).
#pragma once

#include <boost/beast/core/error.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <cstddef>
#include <optional>

#include "scoreserver/http_message.h"
#include "scoreserver/request_framing.h"

namespace scoreserver {

using RequestParser = boost::beast::http::request_parser<boost::beast::http::string_body>;

void limitParser(RequestParser& parser, std::size_t headerLimit, std::size_t bodyLimit);
// Once the header is read: a compressed body, or one declared over the limit.
std::optional<ListenerRefusal> refuseHeader(const RequestParser& parser, std::size_t bodyLimit);
// A read that failed: the answer owed, or none when the connection just closes.
std::optional<ListenerRefusal> refuseReadError(const boost::beast::error_code& ec);
// The message as the service sees it (header names in lower case); peer and
// arrival time are the caller's.
HttpRequest toHttpRequest(boost::beast::http::request<boost::beast::http::string_body>&& message);

}  // namespace scoreserver
