#include "scoreclient/curl_transport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <utility>

namespace scoreclient {

namespace {

// An answer is a small JSON document; anything past this is not one.
constexpr std::size_t kMaxResponseBytes = 1 << 20;

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* target) {
    auto& body = *static_cast<std::string*>(target);
    const std::size_t bytes = size * count;
    if (body.size() + bytes > kMaxResponseBytes) return 0;  // curl fails the transfer
    body.append(data, bytes);
    return bytes;
}

std::size_t readHeader(char* data, std::size_t size, std::size_t count, void* target) {
    const std::size_t bytes = size * count;
    std::string line(data, bytes);
    const std::string name = "retry-after:";
    if (line.size() > name.size()) {
        std::string start = line.substr(0, name.size());
        std::transform(start.begin(), start.end(), start.begin(), [](unsigned char c) { return std::tolower(c); });
        if (start == name) {
            std::string value = line.substr(name.size());
            const auto first = value.find_first_not_of(" \t");
            const auto last = value.find_last_not_of(" \t\r\n");
            *static_cast<std::string*>(target) = first == std::string::npos ? "" : value.substr(first, last - first + 1);
        }
    }
    return bytes;
}

// libcurl asks this at least once a second, even while nothing arrives.
int checkAbandoned(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

}  // namespace

CurlTransport::CurlTransport(HttpTimeouts timeouts, std::string caFile)
    : timeouts_(timeouts), caFile_(std::move(caFile)) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpResponse CurlTransport::send(const HttpRequest& request) {
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) throw TransportError("cannot start an HTTP transfer");
    curl_slist* list = nullptr;
    for (const auto& [name, value] : request.headers) list = curl_slist_append(list, (name + ": " + value).c_str());
    // The server answers at once; waiting for "100 Continue" only adds a round trip.
    list = curl_slist_append(list, "Expect:");
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> headers(list, &curl_slist_free_all);

    HttpResponse response;
    char error[CURL_ERROR_SIZE] = "";
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeouts_.connectMillis);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeouts_.totalMillis);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile_.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, caFile_.c_str());
    if (abandon_) {
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &checkAbandoned);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(abandon_));
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    }
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (request.method != "GET") {
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &appendBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &readHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &response.retryAfter);
    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK) {
        throw TransportError(request.url + ": " + (error[0] != '\0' ? error : curl_easy_strerror(code)));
    }
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
    return response;
}

}  // namespace scoreclient
