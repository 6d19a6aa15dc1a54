#include "sound/mpeg_audio.h"

#include <array>
#include <optional>

namespace {

constexpr size_t id3HeaderBytes = 10;
constexpr size_t frameHeaderBytes = 4;
// Frames checked one after the other before the data is taken as MPEG audio.
constexpr int framesToCheck = 3;

// The length of the ID3v2 tag at offset, header and footer included, or 0
// when there is none. Its size is four 7-bit bytes.
size_t id3TagLength(const uint8_t* bytes, size_t length, size_t offset) {
    if (length - offset < id3HeaderBytes || bytes[offset] != 'I' || bytes[offset + 1] != 'D' ||
        bytes[offset + 2] != '3') {
        return 0;
    }
    const uint8_t* size = bytes + offset + 6;
    if (((size[0] | size[1] | size[2] | size[3]) & 0x80) != 0) {
        return 0;
    }
    const size_t body = (size_t{size[0]} << 21) | (size_t{size[1]} << 14) | (size_t{size[2]} << 7) |
                        size_t{size[3]};
    const bool footer = (bytes[offset + 5] & 0x10) != 0;
    return id3HeaderBytes + body + (footer ? id3HeaderBytes : 0);
}

struct FrameHeader {
    int version;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    int layer;    // 3: layer I, 2: layer II, 1: layer III (as coded)
    int sampleRate;
    size_t length;
};

// Reads the frame header at p, or nothing when it is not one.
std::optional<FrameHeader> readFrameHeader(const uint8_t* p) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const int version = (p[1] >> 3) & 3;
    const int layer = (p[1] >> 1) & 3;
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    const int padding = (p[2] >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return std::nullopt;
    }
    // Kilobits per second by [MPEG-1?][layer I, II, III][index].
    static constexpr std::array<std::array<std::array<int, 15>, 3>, 2> bitrates = {{
        {{{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
          {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
          {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}},
        {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
          {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
          {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}}},
    }};
    static constexpr std::array<int, 3> mpeg1Rates = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int layerNumber = 4 - layer;  // I, II or III
    const int bitrate = bitrates[mpeg1 ? 1 : 0][layerNumber - 1][bitrateIndex] * 1000;
    const int sampleRate = mpeg1Rates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    size_t frameLength = 0;
    if (layerNumber == 1) {
        frameLength = static_cast<size_t>((12 * bitrate / sampleRate + padding) * 4);
    } else {
        // Layer III of MPEG-2 and 2.5 holds half the samples of a frame.
        const int samplesOver8 = layerNumber == 3 && !mpeg1 ? 72 : 144;
        frameLength = static_cast<size_t>(samplesOver8 * bitrate / sampleRate + padding);
    }
    return FrameHeader{version, layer, sampleRate, frameLength};
}

}  // namespace

bool isMpegAudio(const uint8_t* bytes, size_t length) {
    if (bytes == nullptr) {
        return false;
    }
    size_t offset = 0;
    while (offset < length) {
        const size_t tag = id3TagLength(bytes, length, offset);
        if (tag == 0) {
            break;
        }
        offset += tag;
    }
    std::optional<FrameHeader> first;
    for (int frame = 0; frame < framesToCheck; ++frame) {
        if (offset == length && frame > 0) {
            return true;  // a short file whose frames end exactly at its end
        }
        if (offset > length || length - offset < frameHeaderBytes) {
            return false;
        }
        const std::optional<FrameHeader> header = readFrameHeader(bytes + offset);
        if (!header || header->length < frameHeaderBytes) {
            return false;
        }
        // Every frame of one stream keeps the version, layer and rate.
        if (first && (header->version != first->version || header->layer != first->layer ||
                      header->sampleRate != first->sampleRate)) {
            return false;
        }
        if (!first) {
            first = header;
        }
        offset += header->length;
    }
    return true;
}
