#include "mp3.h"

#include <lame/lame.h>
#include <mpg123.h>

#include <cstdio>
#include <memory>
#include <vector>

bool encodeMp3(const Stereo& audio, int kilobitsPerSecond, const std::string& path,
               std::string& error) {
    std::unique_ptr<lame_global_flags, decltype(&lame_close)> gf(lame_init(), &lame_close);
    if (!gf) {
        error = "cannot start LAME";
        return false;
    }
    lame_set_in_samplerate(gf.get(), audio.rate);
    lame_set_out_samplerate(gf.get(), audio.rate);
    lame_set_num_channels(gf.get(), 2);
    lame_set_mode(gf.get(), JOINT_STEREO);
    lame_set_VBR(gf.get(), vbr_off);
    lame_set_brate(gf.get(), kilobitsPerSecond);
    lame_set_quality(gf.get(), 5);
    lame_set_bWriteVbrTag(gf.get(), 1);
    if (lame_init_params(gf.get()) < 0) {
        error = "LAME refused the encoding parameters";
        return false;
    }
    std::vector<unsigned char> mp3;
    const size_t chunk = 8192;
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (size_t at = 0; at < audio.frames(); at += chunk) {
        int n = static_cast<int>(std::min(chunk, audio.frames() - at));
        int written =
            lame_encode_buffer_ieee_float(gf.get(), audio.left.data() + at, audio.right.data() + at,
                                          n, buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            error = "LAME failed while encoding";
            return false;
        }
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    }
    int written = lame_encode_flush(gf.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (written < 0) {
        error = "LAME failed while flushing";
        return false;
    }
    mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    // The tag frame reserved at the start is filled in now that the length is known.
    std::vector<unsigned char> tag(4096);
    size_t tagSize = lame_get_lametag_frame(gf.get(), tag.data(), tag.size());
    if (tagSize > 0 && tagSize <= mp3.size()) {
        std::copy(tag.begin(), tag.begin() + static_cast<long>(tagSize), mp3.begin());
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(mp3.data(), 1, mp3.size(), f) == mp3.size();
    if (f != nullptr && std::fclose(f) != 0) {
        ok = false;
    }
    if (!ok) {
        error = "cannot write " + path;
    }
    return ok;
}

bool decodeMp3(const std::string& path, Stereo& audio, int& channels, std::string& error) {
    int status = MPG123_OK;
    std::unique_ptr<mpg123_handle, decltype(&mpg123_delete)> mh(mpg123_new(nullptr, &status),
                                                                &mpg123_delete);
    if (!mh) {
        error = "cannot start mpg123";
        return false;
    }
    mpg123_param(mh.get(), MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    mpg123_format_none(mh.get());
    for (long rate : {44100L, 48000L, 32000L, 22050L}) {
        mpg123_format(mh.get(), rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    }
    if (mpg123_open(mh.get(), path.c_str()) != MPG123_OK) {
        error = "cannot open " + path + ": " + mpg123_strerror(mh.get());
        return false;
    }
    long rate = 0;
    int encoding = 0;
    if (mpg123_getformat(mh.get(), &rate, &channels, &encoding) != MPG123_OK) {
        error = "cannot read the format of " + path;
        return false;
    }
    audio.rate = static_cast<int>(rate);
    audio.left.clear();
    audio.right.clear();
    std::vector<float> block(16384);
    for (;;) {
        size_t done = 0;
        int r = mpg123_read(mh.get(), block.data(), block.size() * sizeof(float), &done);
        size_t samples = done / sizeof(float);
        for (size_t i = 0; i + channels <= samples; i += channels) {
            audio.left.push_back(block[i]);
            audio.right.push_back(block[i + (channels > 1 ? 1 : 0)]);
        }
        if (r == MPG123_DONE) {
            break;
        }
        if (r != MPG123_OK && r != MPG123_NEW_FORMAT) {
            error = "cannot decode " + path + ": " + mpg123_plain_strerror(r);
            return false;
        }
    }
    mpg123_close(mh.get());
    return true;
}
