// Ogg Vorbis encoder over libvorbisenc and libogg. The stream's serial number
// is fixed and no comment carries a date, so the file depends only on the
// samples and the library version.
#include "ogg_file.h"

#include "byte_sink.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <stdexcept>

namespace assetgen {
namespace {

constexpr int kStreamSerial = 2013;
constexpr float kQuality = 0.5f;  // about 80 kbit/s at 22 kHz mono: clean enough for pulse waves
constexpr int kBlock = 1024;

void appendPage(std::vector<std::uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Owns the libvorbis and libogg state so an error cannot leak it.
struct VorbisEncoder {
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};

    explicit VorbisEncoder(int sampleRate) {
        vorbis_info_init(&info);
        if (vorbis_encode_init_vbr(&info, 1, sampleRate, kQuality) != 0) {
            vorbis_info_clear(&info);
            throw std::runtime_error("writeOggVorbis: encoder refused the format");
        }
        vorbis_comment_init(&comment);
        vorbis_comment_add_tag(&comment, "TITLE", "KVR 2013 flight theme");
        vorbis_comment_add_tag(&comment, "ARTIST", "DELTA HIDDEN YARD");
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_init(&stream, kStreamSerial);
    }
    ~VorbisEncoder() {
        ogg_stream_clear(&stream);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;

    void drainPackets(std::vector<std::uint8_t>& out) {
        ogg_packet packet;
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(out, page);
                }
            }
        }
    }
};

} // namespace

void writeOggVorbis(const std::filesystem::path& path, const std::vector<std::int16_t>& samples, int sampleRate) {
    VorbisEncoder enc(sampleRate);
    std::vector<std::uint8_t> out;

    ogg_packet header;
    ogg_packet headerComment;
    ogg_packet headerCode;
    vorbis_analysis_headerout(&enc.dsp, &enc.comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&enc.stream, &header);
    ogg_stream_packetin(&enc.stream, &headerComment);
    ogg_stream_packetin(&enc.stream, &headerCode);
    ogg_page page;
    // The headers get pages of their own so audio starts on a fresh page.
    while (ogg_stream_flush(&enc.stream, &page) != 0) {
        appendPage(out, page);
    }

    std::size_t done = 0;
    while (done < samples.size()) {
        std::size_t count = std::min<std::size_t>(kBlock, samples.size() - done);
        float** buffer = vorbis_analysis_buffer(&enc.dsp, static_cast<int>(count));
        for (std::size_t i = 0; i < count; ++i) {
            buffer[0][i] = static_cast<float>(samples[done + i]) / 32768.0f;
        }
        vorbis_analysis_wrote(&enc.dsp, static_cast<int>(count));
        enc.drainPackets(out);
        done += count;
    }
    vorbis_analysis_wrote(&enc.dsp, 0);  // end of stream
    enc.drainPackets(out);
    while (ogg_stream_flush(&enc.stream, &page) != 0) {
        appendPage(out, page);
    }
    writeFileBytes(path, out);
}

} // namespace assetgen
