// Helpers for the framework's tests: a scratch directory to run in, small
// BMP and WAV files written on the spot, and a fixture that starts the
// framework on the headless backend and forgets it afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace kiln_test {

// A fresh directory that is the working directory while it lives.
class ScratchDir {
public:
    ScratchDir() {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/kiln2-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "/tmp";
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        if (path_ != "/tmp") std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

struct Rgb {
    uint8_t r, g, b;
};

// Writes a 24-bit BMP whose pixel (x, y) is colourAt(x, y): rows bottom
// first, blue-green-red, each row padded to four bytes.
inline void writeBmp(const std::string& file, int width, int height, const std::function<Rgb(int, int)>& colourAt) {
    std::filesystem::path parent = std::filesystem::path(file).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
    std::vector<uint8_t> bytes;
    auto put32 = [&bytes](uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto put16 = [&bytes](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    bytes.push_back('B');
    bytes.push_back('M');
    put32(54 + pixelBytes);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(24);
    put32(0);
    put32(pixelBytes);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colourAt(x, y);
            bytes.push_back(c.b);
            bytes.push_back(c.g);
            bytes.push_back(c.r);
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) bytes.push_back(0);
    }
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << file;
}

inline void writeSolidBmp(const std::string& file, int width, int height, Rgb colour) {
    writeBmp(file, width, height, [colour](int, int) { return colour; });
}

// The font image the framework loads at start-up: 128x48, green background.
inline void writeFontBmp() {
    writeBmp("resource/font/font.bmp", 128, 48, [](int x, int y) {
        return ((x + y) % 3 == 0) ? Rgb{255, 255, 255} : Rgb{0, 255, 0};
    });
}

// A short 16-bit mono WAV tone.
inline void writeWav(const std::string& file, int sampleRate = 22050, int samples = 2205) {
    std::filesystem::path parent = std::filesystem::path(file).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    std::vector<uint8_t> bytes;
    bytes.reserve(64 + static_cast<size_t>(samples) * 2);
    auto put32 = [&bytes](uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto put16 = [&bytes](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&bytes](const char* t) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(t[i]));
    };
    const uint32_t dataBytes = static_cast<uint32_t>(samples) * 2;
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);  // PCM
    put16(1);  // mono
    put32(static_cast<uint32_t>(sampleRate));
    put32(static_cast<uint32_t>(sampleRate) * 2);
    put16(2);
    put16(16);
    tag("data");
    put32(dataBytes);
    for (int i = 0; i < samples; ++i) put16(static_cast<uint16_t>(((i / 25) % 2) ? 8000 : -8000));
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<KilnDrawCall> callsOfKind(KilnDrawCall::Kind kind) {
    std::vector<KilnDrawCall> found;
    for (const KilnDrawCall& call : kiln_headless::drawCalls()) {
        if (call.kind == kind) found.push_back(call);
    }
    return found;
}

// Message of the KilnError that body throws; "" when it throws none.
template <typename Body>
std::string errorOf(Body body) {
    try {
        body();
    } catch (const KilnError& e) {
        return e.what();
    }
    return "";
}

// Runs each test in its own scratch directory with a headless framework
// that the test starts with start().
class HeadlessTest : public ::testing::Test {
protected:
    void start(KilnHeadlessOptions options = noFiles(), int width = 640, int height = 480) {
        kiln_headless::reset();
        Kiln_useHeadlessBackend(options);
        if (options.readResourceFiles) writeFontBmp();
        Kiln_init("test", width, height, false, false);
    }

    static KilnHeadlessOptions noFiles() {
        KilnHeadlessOptions options;
        options.readResourceFiles = false;
        options.logToStderr = true;
        return options;
    }

    static KilnHeadlessOptions withFiles() {
        KilnHeadlessOptions options = noFiles();
        options.readResourceFiles = true;
        return options;
    }

    // One frame of the game's loop without game code: swap and wait 16 ms.
    static void frame() {
        Kiln_flip();
        Kiln_waitFrame(16);
    }

    void TearDown() override { kiln_headless::reset(); }

    ScratchDir scratch_;
};

}  // namespace kiln_test
