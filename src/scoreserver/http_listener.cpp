// With request_framing.cpp, the only files that include Boost.Beast and Asio
// (they are slow to compile).
#include "scoreserver/http_listener.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <array>
#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "scoreserver/request_framing_beast.h"

namespace scoreserver {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;

namespace {

std::int64_t nowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

struct Shared {
    ListenerOptions options;
    RequestHandler handler;
    std::function<void(int)> onRefused;
    std::atomic<bool> draining{false};
    std::atomic<long> inFlight{0};
};

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket socket, std::shared_ptr<Shared> shared)
        : stream_(std::move(socket)), deadline_(stream_.get_executor()), shared_(std::move(shared)) {}

    void start() {
        net::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->readHeader(); });
    }

private:
    void readHeader() {
        if (shared_->draining) return close();
        parser_.emplace();
        limitParser(*parser_, shared_->options.headerLimit, shared_->options.bodyLimit);
        armDeadline();
        http::async_read_header(stream_, buffer_, *parser_,
                                [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onHeader(ec); });
    }

    // The read deadline is a timer of our own, not the stream's: the stream
    // closes the socket when its time runs out, and a slow client is owed a
    // 408 first. The timer cancels the read; the read's handler answers.
    void armDeadline() {
        stream_.expires_never();
        reading_ = true;
        unsigned generation = ++readGeneration_;
        deadline_.expires_after(shared_->options.readTimeout);
        deadline_.async_wait([self = shared_from_this(), generation](beast::error_code ec) {
            if (ec || !self->reading_ || generation != self->readGeneration_) return;
            self->timedOut_ = true;
            beast::error_code ignored;
            self->stream_.socket().cancel(ignored);
        });
    }

    void readDone() {
        reading_ = false;
        deadline_.cancel();
    }

    void onHeader(beast::error_code ec) {
        readDone();
        if (ec) return onReadError(ec);
        arrivalMs_ = nowMillis();
        if (auto refusal = refuseHeader(*parser_, shared_->options.bodyLimit)) {
            return refuse(refusal->status, refusal->message);
        }
        auto& request = parser_->get();
        if (beast::iequals(request[http::field::expect], "100-continue")) {
            auto cont = std::make_shared<http::response<http::empty_body>>(http::status::continue_, request.version());
            http::async_write(stream_, *cont,
                              [self = shared_from_this(), cont](beast::error_code writeError, std::size_t) {
                                  if (writeError) return self->close();
                                  self->readBody();
                              });
            return;
        }
        readBody();
    }

    void readBody() {
        armDeadline();
        http::async_read(stream_, buffer_, *parser_,
                         [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onBody(ec); });
    }

    void onReadError(beast::error_code ec) {
        if (timedOut_) {
            // A request begun but not finished in time is told so; an idle
            // connection is just closed.
            timedOut_ = false;
            if (parser_ && parser_->got_some()) return refuse(408, "the request did not arrive in time");
            return close();
        }
        if (auto refusal = refuseReadError(ec)) return refuse(refusal->status, refusal->message);
        close();
    }

    void onBody(beast::error_code ec) {
        readDone();
        if (ec) return onReadError(ec);
        auto message = parser_->release();
        keepAlive_ = message.keep_alive();
        version_ = message.version();
        HttpRequest request = toHttpRequest(std::move(message));
        beast::error_code peerError;
        auto peer = stream_.socket().remote_endpoint(peerError);
        request.peer = peerError ? std::string("unknown") : peer.address().to_string();
        request.arrivalMs = arrivalMs_;
        ++shared_->inFlight;
        shared_->handler(std::move(request), [self = shared_from_this()](HttpResponse response) {
            net::post(self->stream_.get_executor(),
                      [self, response = std::move(response)]() mutable { self->write(std::move(response), true); });
        });
    }

    // Answers a request the handler never saw, then closes: whatever is
    // left of it in the socket cannot be trusted to frame the next one.
    void refuse(int status, const std::string& message) {
        if (shared_->onRefused) shared_->onRefused(status);
        keepAlive_ = false;
        version_ = parser_ ? parser_->get().version() : 11;
        if (version_ == 0) version_ = 11;
        ++shared_->inFlight;
        HttpResponse response;
        response.status = status;
        response.body = "{\"error\":\"" + message + "\"}";
        write(std::move(response), false);
    }

    void write(HttpResponse response, bool handled) {
        (void)handled;
        auto out = std::make_shared<http::response<http::string_body>>(static_cast<http::status>(response.status),
                                                                        version_);
        out->set(http::field::server, "kvr2013-scores");
        out->set(http::field::content_type, response.contentType);
        for (auto& [name, value] : response.headers) out->set(name, value);
        out->body() = std::move(response.body);
        out->keep_alive(keepAlive_ && !shared_->draining);
        out->prepare_payload();
        stream_.expires_after(shared_->options.readTimeout);
        http::async_write(stream_, *out, [self = shared_from_this(), out](beast::error_code ec, std::size_t) {
            --self->shared_->inFlight;
            if (ec || !out->keep_alive()) return self->lingerAndClose();
            self->readHeader();
        });
    }

    // Half-closes, then reads and drops what the client still sends for a
    // moment, so closing does not reset the connection before it reads the answer.
    void lingerAndClose() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream_.expires_after(std::chrono::seconds(2));
        discard_ = std::make_shared<std::array<char, 8192>>();
        drainSome();
    }

    void drainSome() {
        stream_.async_read_some(net::buffer(*discard_), [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec) return self->close();
            self->drainSome();
        });
    }

    void close() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.socket().close(ignored);
    }

    beast::tcp_stream stream_;
    net::steady_timer deadline_;
    bool reading_ = false, timedOut_ = false;
    unsigned readGeneration_ = 0;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    std::shared_ptr<Shared> shared_;
    std::shared_ptr<std::array<char, 8192>> discard_;
    bool keepAlive_ = true;
    unsigned version_ = 11;
    std::int64_t arrivalMs_ = nowMillis();
};

}  // namespace

struct HttpListener::Impl {
    explicit Impl(const ListenerOptions& options)
        : io(static_cast<int>(options.threads)), acceptor(net::make_strand(io)), signals(io, SIGTERM, SIGINT) {}

    void accept() {
        acceptor.async_accept(net::make_strand(io), [this](beast::error_code ec, tcp::socket socket) {
            if (ec) {
                if (!acceptor.is_open()) return;
            } else {
                std::make_shared<Session>(std::move(socket), shared)->start();
            }
            accept();
        });
    }

    void drain() {
        shared->draining = true;
        beast::error_code ignored;
        acceptor.close(ignored);
        drainDeadline = std::chrono::steady_clock::now() + shared->options.drainTimeout;
        waitForInFlight();
    }

    void waitForInFlight() {
        if (shared->inFlight <= 0 || std::chrono::steady_clock::now() > drainDeadline) {
            io.stop();
            return;
        }
        timer.expires_after(std::chrono::milliseconds(20));
        timer.async_wait([this](beast::error_code) { waitForInFlight(); });
    }

    net::io_context io;
    tcp::acceptor acceptor;
    net::signal_set signals;
    net::steady_timer timer{io};
    std::shared_ptr<Shared> shared = std::make_shared<Shared>();
    std::chrono::steady_clock::time_point drainDeadline;
};

HttpListener::HttpListener(const ListenerOptions& options, RequestHandler handler,
                           std::function<void(int status)> onRefusedBeforeHandler)
    : impl_(std::make_unique<Impl>(options)) {
    impl_->shared->options = options;
    impl_->shared->handler = std::move(handler);
    impl_->shared->onRefused = std::move(onRefusedBeforeHandler);
    beast::error_code ec;
    auto address = net::ip::make_address(options.host, ec);
    if (ec) throw std::runtime_error("not an IP address: " + options.host);
    tcp::endpoint endpoint(address, options.port);
    impl_->acceptor.open(endpoint.protocol(), ec);
    if (!ec) impl_->acceptor.set_option(net::socket_base::reuse_address(true), ec);
    if (!ec) impl_->acceptor.bind(endpoint, ec);
    if (!ec) impl_->acceptor.listen(net::socket_base::max_listen_connections, ec);
    if (ec) throw std::runtime_error("cannot listen on " + options.host + ":" + std::to_string(options.port) + ": " +
                                     ec.message());
}

HttpListener::~HttpListener() = default;

unsigned short HttpListener::port() const { return impl_->acceptor.local_endpoint().port(); }

void HttpListener::run() {
    impl_->signals.async_wait([this](beast::error_code ec, int) {
        if (!ec) impl_->drain();
    });
    impl_->accept();
    std::vector<std::thread> threads;
    unsigned count = impl_->shared->options.threads == 0 ? 1 : impl_->shared->options.threads;
    for (unsigned i = 1; i < count; ++i) threads.emplace_back([this] { impl_->io.run(); });
    impl_->io.run();
    for (auto& thread : threads) thread.join();
}

}  // namespace scoreserver
