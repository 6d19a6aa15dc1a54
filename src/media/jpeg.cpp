#include "media/jpeg.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <new>

namespace {

// libjpeg's own error handler ends the process. This one jumps back to the
// decoding step that was running, which then reports a failed decode. Warnings
// (corrupt or truncated data that libjpeg would paper over with grey) end the
// decode the same way: a damaged picture is refused, not shown half grey.
struct DecodeErrors {
    jpeg_error_mgr base;
    jmp_buf recovery;
};

[[noreturn]] void failDecode(j_common_ptr info) {
    auto* errors = reinterpret_cast<DecodeErrors*>(info->err);
    std::longjmp(errors->recovery, 1);
}

void onMessage(j_common_ptr info, int level) {
    if (level < 0) {
        failDecode(info);
    }
}

void stayQuiet(j_common_ptr) {}

// A progressive file can hold any number of scans, each a pass over the whole
// picture; a few kilobytes of hostile data could keep the decoder busy for
// minutes. No real picture needs more than a few dozen.
constexpr int maxScans = 256;

void limitScans(j_common_ptr info) {
    auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    if (decoder->input_scan_number > maxScans) {
        failDecode(info);
    }
}

// libjpeg's own working memory (the coefficient buffer of a progressive file
// above all) is capped, so a small file cannot make it allocate gigabytes.
constexpr long maxDecoderMemory = 96L * 1024 * 1024;

struct Decoder {
    jpeg_decompress_struct info{};
    DecodeErrors errors{};
    jpeg_progress_mgr progress{};
    bool created = false;

    ~Decoder() {
        if (created) {
            jpeg_destroy_decompress(&info);
        }
    }
};

// The functions below hold setjmp. Nothing in them, and nothing between
// them and libjpeg's error exit, has a destructor, so the long jump skips no
// cleanup; the Decoder that owns libjpeg's memory lives in the caller.

bool readHeader(Decoder& decoder, const uint8_t* bytes, size_t count) {
    if (setjmp(decoder.errors.recovery) != 0) {
        return false;
    }
    jpeg_create_decompress(&decoder.info);
    decoder.created = true;
    decoder.info.mem->max_memory_to_use = maxDecoderMemory;
    decoder.progress.progress_monitor = limitScans;
    decoder.info.progress = &decoder.progress;
    jpeg_mem_src(&decoder.info, bytes, static_cast<unsigned long>(count));
    return jpeg_read_header(&decoder.info, TRUE) == JPEG_HEADER_OK;
}

// A progressive file is read whole here, so a damaged one fails before the
// pixel buffer is allocated.
bool startDecode(Decoder& decoder) {
    if (setjmp(decoder.errors.recovery) != 0) {
        return false;
    }
    return jpeg_start_decompress(&decoder.info) == TRUE;
}

bool decodeRows(Decoder& decoder, uint8_t* pixels, size_t rowBytes) {
    if (setjmp(decoder.errors.recovery) != 0) {
        return false;
    }
    jpeg_decompress_struct& info = decoder.info;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + static_cast<size_t>(info.output_scanline) * rowBytes;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) {
            return false;
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

std::unique_ptr<uint8_t[]> decodeJpeg(int& width, int& height, int& channels, const uint8_t* bytes,
                                      size_t count, int maxSide, size_t maxBytes) {
    if (bytes == nullptr || count == 0) {
        return nullptr;
    }
    Decoder decoder;
    decoder.info.err = jpeg_std_error(&decoder.errors.base);
    decoder.errors.base.error_exit = failDecode;
    decoder.errors.base.emit_message = onMessage;
    decoder.errors.base.output_message = stayQuiet;

    if (!readHeader(decoder, bytes, count)) {
        return nullptr;
    }
    jpeg_decompress_struct& info = decoder.info;
    width = static_cast<int>(info.image_width);
    height = static_cast<int>(info.image_height);
    channels = info.num_components;

    if (info.num_components == 3) {
        info.out_color_space = JCS_RGB;
    } else if (info.num_components == 1) {
        info.out_color_space = JCS_GRAYSCALE;
    } else {
        return nullptr;
    }
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) {
        return nullptr;
    }

    if (static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels) >
        maxBytes) {
        return nullptr;
    }
    if (!startDecode(decoder) || info.output_components != channels) {
        return nullptr;
    }
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(channels);
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[rowBytes * height]);
    if (!pixels || !decodeRows(decoder, pixels.get(), rowBytes)) {
        return nullptr;
    }
    return pixels;
}
