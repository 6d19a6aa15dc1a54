#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "media/jpeg.h"
#include "media/texture.h"
#include "platform/program_directory.h"
#include "support/gl_context.h"
#include "support/jpeg_encode.h"
#include "support/process.h"

namespace {

// Every test picture lives in data/ of a directory of the test's own, which
// stands in for the program's directory.
class TextureTest : public HeadlessGlTest {
protected:
    static void SetUpTestSuite() {
        HeadlessGlTest::SetUpTestSuite();
        root = makeTemporaryDirectory("texture");
        std::filesystem::create_directories(root + "/data");
        std::vector<uint8_t> grey(64 * 64, 128);
        std::vector<uint8_t> cmyk(64 * 64 * 4, 60);
        const auto pattern = patternJpeg(64, 64);
        std::vector<uint8_t> truncated(pattern.begin(), pattern.begin() + pattern.size() / 2);
        std::vector<uint8_t> oversized = pattern;
        for (size_t i = 0; i + 8 < oversized.size(); ++i) {
            if (oversized[i] == 0xFF && oversized[i + 1] == 0xC0) {
                oversized[i + 5] = oversized[i + 7] = 0x75;  // 30000 x 30000
                oversized[i + 6] = oversized[i + 8] = 0x30;
                break;
            }
        }
        const std::pair<const char*, std::vector<uint8_t>> files[] = {
            {"red256.jpg", solidColourJpeg(256, 256, 220, 30, 40)},
            {"colour.jpg", solidColourJpeg(64, 64, 10, 200, 30)},
            {"alpha200.jpg", solidColourJpeg(64, 64, 200, 10, 10)},
            {"alpha90.jpg", solidColourJpeg(64, 64, 20, 40, 90)},
            {"black.jpg", solidColourJpeg(64, 64, 0, 0, 0)},
            {"pattern.jpg", pattern},
            {"small.jpg", solidColourJpeg(32, 32, 255, 255, 255)},
            {"wide.jpg", solidColourJpeg(256, 128, 90, 90, 90)},
            {"tall.jpg", solidColourJpeg(64, 128, 90, 90, 90)},
            {"odd.jpg", solidColourJpeg(100, 100, 90, 90, 90)},
            {"grey.jpg", encodeJpeg(64, 64, 1, grey)},
            {"cmyk.jpg", encodeJpeg(64, 64, 4, cmyk)},
            {"empty.jpg", {}},
            {"garbage.jpg", std::vector<uint8_t>(5000, 0xAB)},
            {"truncated.jpg", truncated},
            {"oversized.jpg", oversized},
        };
        for (const auto& [name, bytes] : files) {
            ASSERT_TRUE(writeFile(root + "/data/" + name, bytes)) << name;
        }
        setProgramDirectory(root);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(root); }

    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
        // Loads must set this state themselves, whatever they find.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    }

    static void expectStateAfterLoad() {
        GLint bound = -1, alignment = 0, mode = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        EXPECT_EQ(bound, 0);
        EXPECT_EQ(alignment, 1);
        EXPECT_EQ(mode, GL_MODULATE);
    }

    // The texture's level 0 as RGBA bytes, top row first, with its size.
    // A refused load creates nothing and still leaves texture 0 bound.
    static void expectNothingBound() {
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0);
    }

    static std::vector<uint8_t> readTexture(int32_t name, int& side) {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        EXPECT_EQ(w, h);
        side = w;
        std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return rgba;
    }

    static void expectEveryTexel(const std::vector<uint8_t>& rgba, std::vector<int> expected) {
        int worst = 0;
        for (size_t i = 0; i < rgba.size(); ++i) {
            worst = std::max(worst, std::abs(rgba[i] - expected[i % 4]));
        }
        EXPECT_LE(worst, 3) << "texels stray from " << expected[0] << "," << expected[1] << ","
                            << expected[2] << "," << expected[3];
    }

    static std::string root;
};

std::string TextureTest::root;

TEST_F(TextureTest, ColourPictureBecomesRepeatingLinearRgbTexture) {
    const int32_t name = loadTexture("data/red256.jpg");
    ASSERT_GT(name, 0);
    expectStateAfterLoad();

    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
    GLint format = 0, wrapS = 0, wrapT = 0, mag = 0, min = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    EXPECT_EQ(format, GL_RGB);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);
    EXPECT_EQ(mag, GL_LINEAR);
    EXPECT_EQ(min, GL_LINEAR);

    int side = 0;
    const auto texels = readTexture(name, side);
    EXPECT_EQ(side, 256);
    expectEveryTexel(texels, {220, 30, 40, 255});
}

TEST_F(TextureTest, RowsAreUploadedTopRowFirst) {
    const int32_t name = loadTexture("data/pattern.jpg");
    ASSERT_GT(name, 0);
    int side = 0;
    const auto texels = readTexture(name, side);
    ASSERT_EQ(side, 64);
    // Red grows to the right and green downwards in the picture.
    EXPECT_LT(texels[0], 20);
    EXPECT_LT(texels[1], 20);
    const size_t topRight = 63 * 4;
    const size_t bottomLeft = 63 * 64 * 4;
    EXPECT_GT(texels[topRight], 235);
    EXPECT_LT(texels[topRight + 1], 20);
    EXPECT_LT(texels[bottomLeft], 20);
    EXPECT_GT(texels[bottomLeft + 1], 235);
}

TEST_F(TextureTest, EitherSeparatorAndAnySquareSideLoad) {
    for (const char* name : {"data\\small.jpg", "data/small.jpg", "data/odd.jpg"}) {
        EXPECT_GT(loadTexture(name), 0) << name;
        expectStateAfterLoad();
    }
}

TEST_F(TextureTest, UnusablePicturesAreRefused) {
    for (const char* name : {"data/missing.jpg", "data/empty.jpg", "data/garbage.jpg",
                             "data/truncated.jpg", "data/oversized.jpg", "data/grey.jpg",
                             "data/cmyk.jpg", "data/wide.jpg", "data/tall.jpg", "data"}) {
        EXPECT_EQ(loadTexture(name), -1) << name;
        expectNothingBound();
    }
}

TEST_F(TextureTest, AlphaIsTheLargestChannelOfTheAlphaPicture) {
    struct Case {
        const char* alpha;
        int expectedAlpha;
    };
    const Case cases[] = {
        {"data/alpha200.jpg", 200},
        {"data/alpha90.jpg", 90},
        {"data/black.jpg", 0},
    };
    for (const Case& c : cases) {
        const int32_t name = loadTextureWithAlpha(c.alpha, "data/colour.jpg");
        ASSERT_GT(name, 0) << c.alpha;
        expectStateAfterLoad();
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        EXPECT_EQ(format, GL_RGBA);
        int side = 0;
        const auto texels = readTexture(name, side);
        EXPECT_EQ(side, 64);
        expectEveryTexel(texels, {10, 200, 30, c.expectedAlpha});
    }
}

TEST_F(TextureTest, OnePictureCanBeBothHalvesOfAPair) {
    const int32_t name = loadTextureWithAlpha("data/pattern.jpg", "data/pattern.jpg");
    ASSERT_GT(name, 0);
    int side = 0;
    const auto texels = readTexture(name, side);
    ASSERT_EQ(side, 64);
    for (size_t p = 0; p < texels.size(); p += 4) {
        ASSERT_EQ(texels[p + 3], std::max({texels[p], texels[p + 1], texels[p + 2]})) << p / 4;
    }
}

TEST_F(TextureTest, PairsSharingAnAlphaPictureGetTexturesOfTheirOwn) {
    const int32_t first = loadTextureWithAlpha("data/alpha200.jpg", "data/colour.jpg");
    const int32_t second = loadTextureWithAlpha("data/alpha200.jpg", "data/pattern.jpg");
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
}

TEST_F(TextureTest, UnusablePairsAreRefused) {
    const std::pair<const char*, const char*> pairs[] = {
        {"data/small.jpg", "data/colour.jpg"},      // alpha smaller than colour
        {"data/colour.jpg", "data/red256.jpg"},     // colour larger than alpha
        {"data/missing.jpg", "data/colour.jpg"},    // alpha missing
        {"data/alpha200.jpg", "data/missing.jpg"},  // colour missing
        {"data/grey.jpg", "data/colour.jpg"},       // grey alpha
        {"data/alpha200.jpg", "data/grey.jpg"},     // grey colour
        {"data/wide.jpg", "data/wide.jpg"},         // not square
        {"data/empty.jpg", "data/colour.jpg"},     {"data/alpha200.jpg", "data/truncated.jpg"},
        {"data/garbage.jpg", "data/colour.jpg"},   {"data/oversized.jpg", "data/oversized.jpg"},
    };
    for (const auto& [alpha, colour] : pairs) {
        EXPECT_EQ(loadTextureWithAlpha(alpha, colour), -1) << alpha << " + " << colour;
        expectNothingBound();
    }
}

TEST(CombineColourAndAlpha, CopiesColourAndTakesLargestAlphaChannel) {
    const uint8_t colour[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 250, 251, 252};
    const uint8_t alpha[] = {200, 10, 10, 0, 0, 0, 10, 255, 9, 3, 3, 130};
    const uint8_t expected[] = {1, 2, 3, 200, 4, 5, 6, 0, 7, 8, 9, 255, 250, 251, 252, 130};
    uint8_t rgba[16] = {};
    combineColourAndAlpha(colour, alpha, 2, 2, rgba);
    EXPECT_TRUE(std::equal(std::begin(rgba), std::end(rgba), std::begin(expected)));
}

}  // namespace

namespace {

// 4096 x 4096 RGB decodes to 48 MiB: four fit in the budget, a fifth does
// not, and a new budget (a new context) takes it again.
TEST_F(TextureTest, DecodedPicturesShareOneBudget) {
    ASSERT_EQ(pictureBudgetBytes, size_t{4} * 4096 * 4096 * 3);
    ASSERT_TRUE(writeFile(root + "/data/big.jpg", solidColourJpeg(4096, 4096, 9, 9, 9)));
    for (int load = 0; load < 6; ++load) {
        if (load == 5) {
            resetPictureBudget();
        }
        GLuint name = static_cast<GLuint>(loadTexture("data/big.jpg"));
        EXPECT_EQ(static_cast<int32_t>(name) >= 0, load != 4) << load;
        glDeleteTextures(1, &name);
    }
}

}  // namespace
