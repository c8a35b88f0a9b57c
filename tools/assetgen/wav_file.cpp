// RIFF WAVE encoder: one "fmt " chunk (PCM, mono, 16-bit) and one "data" chunk.
#include "wav_file.h"

#include "byte_sink.h"

namespace assetgen {

std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t>& samples, int sampleRate) {
    const std::uint16_t channels = 1;
    const std::uint16_t bits = 16;
    const std::uint16_t blockAlign = channels * bits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * blockAlign);

    ByteSink out;
    out.text("RIFF");
    out.u32(4 + (8 + 16) + (8 + dataBytes));
    out.text("WAVE");
    out.text("fmt ");
    out.u32(16);
    out.u16(1);  // PCM
    out.u16(channels);
    out.u32(static_cast<std::uint32_t>(sampleRate));
    out.u32(static_cast<std::uint32_t>(sampleRate) * blockAlign);
    out.u16(blockAlign);
    out.u16(bits);
    out.text("data");
    out.u32(dataBytes);
    for (std::int16_t s : samples) {
        out.s16(s);
    }
    return out.take();
}

void writeWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples, int sampleRate) {
    writeFileBytes(path, encodeWav(samples, sampleRate));
}

} // namespace assetgen
