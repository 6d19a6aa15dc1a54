#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "media/file_reading.h"
#include "media/jpeg.h"
#include "support/jpeg_encode.h"
#include "support/process.h"

namespace {

struct Decoded {
    std::unique_ptr<uint8_t[]> pixels;
    int width = -7;
    int height = -7;
    int channels = -7;
};

Decoded decode(const std::vector<uint8_t>& bytes, int maxSide = maxPictureSide) {
    Decoded d;
    d.pixels = decodeJpeg(d.width, d.height, d.channels, bytes.data(), bytes.size(), maxSide);
    return d;
}

// Rewrites the frame header's height and width (the first SOF0 or SOF2).
std::vector<uint8_t> withHeaderSize(std::vector<uint8_t> bytes, int width, int height) {
    for (size_t i = 0; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
            bytes[i + 5] = static_cast<uint8_t>(height >> 8);
            bytes[i + 6] = static_cast<uint8_t>(height);
            bytes[i + 7] = static_cast<uint8_t>(width >> 8);
            bytes[i + 8] = static_cast<uint8_t>(width);
            return bytes;
        }
    }
    ADD_FAILURE() << "no frame header";
    return bytes;
}

// Offset of the first byte of entropy-coded data (after the SOS segment).
size_t scanStart(const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i + 3 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) {
            return i + 2 + ((bytes[i + 2] << 8) | bytes[i + 3]);
        }
    }
    ADD_FAILURE() << "no scan header";
    return bytes.size();
}

std::vector<uint8_t> twoBandPicture(int width, int height, std::vector<uint8_t> top,
                                    std::vector<uint8_t> bottom) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto& c = y < height / 2 ? top : bottom;
            pixels.insert(pixels.end(), c.begin(), c.end());
        }
    }
    return encodeJpeg(width, height, 3, pixels);
}

void expectNear(const uint8_t* pixel, std::vector<int> expected, const char* where) {
    for (size_t c = 0; c < expected.size(); ++c) {
        EXPECT_NEAR(pixel[c], expected[c], 3) << where << ", channel " << c;
    }
}

TEST(DecodeJpeg, ColourPictureIsPackedRgbTopRowFirst) {
    const auto bytes = twoBandPicture(256, 256, {230, 20, 40}, {10, 60, 200});
    const Decoded d = decode(bytes);
    ASSERT_TRUE(d.pixels);
    EXPECT_EQ(d.width, 256);
    EXPECT_EQ(d.height, 256);
    EXPECT_EQ(d.channels, 3);
    // 196608 bytes: the last pixel of the last row is the picture's last byte.
    const size_t lastPixel = 196608 - 3;
    expectNear(&d.pixels[0], {230, 20, 40}, "top-left");
    expectNear(&d.pixels[255 * 3], {230, 20, 40}, "top-right");
    expectNear(&d.pixels[lastPixel], {10, 60, 200}, "bottom-right");
    expectNear(&d.pixels[128 * 256 * 3], {10, 60, 200}, "first bottom-band row");
}

TEST(DecodeJpeg, GreyPictureHasOneChannel) {
    std::vector<uint8_t> grey(64 * 32);
    for (size_t i = 0; i < grey.size(); ++i) {
        grey[i] = i < grey.size() / 2 ? 40 : 210;
    }
    const Decoded d = decode(encodeJpeg(64, 32, 1, grey));
    ASSERT_TRUE(d.pixels);
    EXPECT_EQ(d.width, 64);
    EXPECT_EQ(d.height, 32);
    EXPECT_EQ(d.channels, 1);
    expectNear(&d.pixels[0], {40}, "top");
    expectNear(&d.pixels[64 * 32 - 1], {210}, "bottom");
}

TEST(DecodeJpeg, ProgressiveAndBaselineDecodeAlike) {
    std::vector<uint8_t> pixels(48 * 40 * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint8_t>((i * 7) % 251);
    }
    const Decoded baseline = decode(encodeJpeg(48, 40, 3, pixels, 100));
    const Decoded progressive = decode(encodeJpeg(48, 40, 3, pixels, 100, true));
    ASSERT_TRUE(baseline.pixels);
    ASSERT_TRUE(progressive.pixels);
    int worst = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        worst = std::max(worst, std::abs(baseline.pixels[i] - progressive.pixels[i]));
    }
    EXPECT_LE(worst, 4);
}

TEST(DecodeJpeg, SideLimitIsInclusive) {
    struct Case {
        int width, height, maxSide;
        bool decodes;
    };
    const Case cases[] = {
        {8192, 8, maxPictureSide, true},
        {8193, 8, maxPictureSide, false},
        {8, 8193, maxPictureSide, false},
        {64, 64, 64, true},
        {65, 64, 64, false},
        {64, 65, 64, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> grey(static_cast<size_t>(c.width) * c.height, 100);
        const Decoded d = decode(encodeJpeg(c.width, c.height, 1, grey), c.maxSide);
        EXPECT_EQ(static_cast<bool>(d.pixels), c.decodes) << c.width << "x" << c.height;
        EXPECT_EQ(d.width, c.width);  // the header is read either way
        EXPECT_EQ(d.height, c.height);
    }
}

TEST(DecodeJpeg, BadInputFailsCleanly) {
    const auto good = twoBandPicture(64, 64, {200, 0, 0}, {0, 0, 200});
    const size_t scan = scanStart(good);

    std::vector<uint8_t> earlyEnd = good;  // an end-of-image marker mid-scan
    earlyEnd[scan + 20] = 0xFF;
    earlyEnd[scan + 21] = 0xD9;
    std::vector<uint8_t> scrambled = good;  // entropy data overwritten
    for (size_t i = scan; i + 2 < good.size(); ++i) {
        scrambled[i] = static_cast<uint8_t>((i * 131) ^ 0x5A);
        if (scrambled[i] == 0xFF) {
            scrambled[i] = 0x00;
        }
    }
    std::vector<uint8_t> cmykPixels(16 * 16 * 4, 90);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool headerRead;
        int channels;
    };
    const Case cases[] = {
        {"empty", {}, false, -7},
        {"text", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', ' ', 'j', 'p', 'e', 'g'}, false, -7},
        {"start-of-image only", std::vector<uint8_t>{0xFF, 0xD8}, false, -7},
        {"cut inside the header", std::vector<uint8_t>(good.begin(), good.begin() + 30), false, -7},
        {"cut inside the scan", std::vector<uint8_t>(good.begin(), good.begin() + scan + 40), true,
         3},
        {"cut before the end marker", std::vector<uint8_t>(good.begin(), good.end() - 2), true, 3},
        {"end marker inside the scan", earlyEnd, true, 3},
        {"scrambled scan", scrambled, true, 3},
        {"65535 x 65535 header", withHeaderSize(good, 65535, 65535), false, -7},
        {"30000 x 30000 header", withHeaderSize(good, 30000, 30000), true, 3},
        {"zero width header", withHeaderSize(good, 0, 64), false, -7},
        {"CMYK", encodeJpeg(16, 16, 4, cmykPixels), true, 4},
        {"progressive, 8000 x 8000 header",
         withHeaderSize(encodeJpeg(16, 16, 1, std::vector<uint8_t>(256, 9), 90, true), 8000, 8000),
         true, 1},
    };
    for (const Case& c : cases) {
        const Decoded d = decode(c.bytes);
        EXPECT_FALSE(d.pixels) << c.name;
        EXPECT_EQ(d.channels, c.channels) << c.name;
        if (c.headerRead) {
            EXPECT_GT(d.width, 0) << c.name;
        } else {
            EXPECT_EQ(d.width, -7) << c.name;
            EXPECT_EQ(d.height, -7) << c.name;
        }
    }
    EXPECT_TRUE(decode(good).pixels) << "the unharmed picture decodes";
}

TEST(DecodeJpeg, NullBytesFail) {
    int w = -7, h = -7, c = -7;
    EXPECT_FALSE(decodeJpeg(w, h, c, nullptr, 100));
    EXPECT_EQ(w, -7);
}

TEST(ReadWholeFile, ReadsExactBytesAndRefusesWhatIsNotAFile) {
    const std::string dir = makeTemporaryDirectory("read");
    std::vector<uint8_t> contents(70000);
    for (size_t i = 0; i < contents.size(); ++i) {
        contents[i] = static_cast<uint8_t>(i * 31 + 7);
    }
    ASSERT_TRUE(writeFile(dir + "/full.bin", contents));
    ASSERT_TRUE(writeFile(dir + "/empty.bin", {}));

    size_t size = 99;
    const auto bytes = readWholeFile(dir + "/full.bin", size, contents.size());
    ASSERT_TRUE(bytes);
    ASSERT_EQ(size, contents.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.get(), bytes.get() + size), contents);

    // A FIFO with no writer must be refused at once, not waited on.
    ASSERT_EQ(mkfifo((dir + "/fifo.bin").c_str(), 0644), 0);
    for (const std::string& failing : {dir + "/missing.bin", dir + "/empty.bin", dir,
                                       dir + "/fifo.bin", std::string("/dev/zero")}) {
        size = 99;
        EXPECT_FALSE(readWholeFile(failing, size, contents.size())) << failing;
        EXPECT_EQ(size, 0u) << failing;
    }
    // One byte over the bound is refused before it is read.
    EXPECT_FALSE(readWholeFile(dir + "/full.bin", size, contents.size() - 1));
    std::filesystem::remove_all(dir);
}

}  // namespace
