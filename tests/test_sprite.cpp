#include <GL/gl.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/program_directory.h"
#include "presentation/sprite.h"
#include "support/gl_context.h"
#include "support/jpeg_encode.h"
#include "support/process.h"

namespace {

using Rgb = std::vector<uint8_t>;

// A 64 x 64 picture in four quadrants: red top-left, green top-right, blue
// bottom-left, white bottom-right. It shows whether a draw is upright and
// unmirrored.
std::vector<uint8_t> quadrantPicture() {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool top = y < 32;
            const bool left = x < 32;
            const Rgb c = top ? (left ? Rgb{255, 0, 0} : Rgb{0, 255, 0})
                              : (left ? Rgb{0, 0, 255} : Rgb{255, 255, 255});
            pixels.insert(pixels.end(), c.begin(), c.end());
        }
    }
    return encodeJpeg(64, 64, 3, pixels);
}

// Four vertical bands of grey 0, 110, 140 and 255, left to right.
std::vector<uint8_t> bandPicture() {
    const uint8_t levels[] = {0, 110, 140, 255};
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            pixels.insert(pixels.end(), 3, levels[x / 16]);
        }
    }
    return encodeJpeg(64, 64, 3, pixels);
}

class SpriteTest : public HeadlessGlTest {
protected:
    static void SetUpTestSuite() {
        HeadlessGlTest::SetUpTestSuite();
        root = makeTemporaryDirectory("sprite");
        std::filesystem::create_directories(root + "/data");
        ASSERT_TRUE(writeFile(root + "/data/quadrants.jpg", quadrantPicture()));
        ASSERT_TRUE(writeFile(root + "/data/bands_alfa.jpg", bandPicture()));
        ASSERT_TRUE(writeFile(root + "/data/red.jpg", solidColourJpeg(64, 64, 255, 0, 0)));
        ASSERT_TRUE(writeFile(root + "/data/green.jpg", solidColourJpeg(64, 64, 0, 255, 0)));
        setProgramDirectory(root);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(root); }

    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
    }

    // An untextured quad of one colour at depth z, writing depth, covering
    // the central x and y range [-extent, extent] in view space at that depth.
    static void drawPlainQuad(float z, float extent, float r, float g, float b) {
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor3f(r, g, b);
        glBegin(GL_QUADS);
        glVertex3f(-extent, -extent, z);
        glVertex3f(extent, -extent, z);
        glVertex3f(extent, extent, z);
        glVertex3f(-extent, extent, z);
        glEnd();
        glColor3f(1.0f, 1.0f, 1.0f);
    }

    static void expectPixel(int x, int y, const Rgb& expected, const std::string& what) {
        const Rgb got = pixelAt(x, y);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(got[c], expected[c], 4)
                << what << " at (" << x << ", " << y << ") channel " << c;
        }
    }

    static void expectCovered(int x, int y, const std::string& what) {
        const Rgb got = pixelAt(x, y);
        EXPECT_GT(got[0] + got[1] + got[2], 200) << what << " at (" << x << ", " << y << ")";
    }

    static float depthAt(int x, int y) {
        float depth = -1.0f;
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    }

    static std::string root;
};

std::string SpriteTest::root;

const Rgb black{0, 0, 0};
const Rgb red{255, 0, 0};
const Rgb green{0, 255, 0};
const Rgb blue{0, 0, 255};
const Rgb white{255, 255, 255};

struct DrawOperation {
    const char* name;
    std::function<void(Sprite&)> draw;
};

const DrawOperation allDraws[] = {
    {"draw", [](Sprite& s) { s.draw(); }},
    {"drawBlended", [](Sprite& s) { s.drawBlended(); }},
    {"drawCutout", [](Sprite& s) { drawCutout(s); }},
    {"drawTriangles",
     [](Sprite& s) {
         glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(s.textureName()));
         s.drawTriangles();
     }},
};

TEST_F(SpriteTest, PlacementDefaultsAndSetters) {
    EXPECT_EQ(std::bit_cast<uint32_t>(fullScreenDepth), 0xC01AF1AAu);
    EXPECT_NEAR(fullScreenDepth, -2.421f, 1e-6f);

    AlphaSprite sprite("data/bands_alfa.jpg", "data/red.jpg");
    EXPECT_EQ(sprite.halfSizeValue(), 1.0f);
    sprite.setPosition(0.25f, -3.5f, -7.0f);
    sprite.setHalfSize(0.125f);
    EXPECT_EQ(sprite.positionX(), 0.25f);
    EXPECT_EQ(sprite.positionY(), -3.5f);
    EXPECT_EQ(sprite.positionZ(), -7.0f);
    EXPECT_EQ(sprite.halfSizeValue(), 0.125f);
    sprite.resetPlacement();
    EXPECT_EQ(sprite.positionX(), 0.0f);
    EXPECT_EQ(sprite.positionY(), 0.0f);
    EXPECT_EQ(sprite.positionZ(), fullScreenDepth);
    EXPECT_EQ(sprite.halfSizeValue(), 1.0f);
}

TEST_F(SpriteTest, EveryDrawShowsThePictureUprightAndFullScreen) {
    Sprite sprite("data/quadrants.jpg");
    ASSERT_GT(sprite.textureName(), 0);
    sprite.resetPlacement();
    for (const DrawOperation& op : allDraws) {
        resetGlState();
        op.draw(sprite);
        expectPixel(160, 360, red, op.name);
        expectPixel(480, 360, green, op.name);
        expectPixel(160, 120, blue, op.name);
        expectPixel(480, 120, white, op.name);
        // 99.72% of each side, centred: the outermost pixel row and column
        // stay clear, the next ones are covered.
        expectPixel(0, 100, black, op.name);
        expectPixel(639, 400, black, op.name);
        expectPixel(100, 0, black, op.name);
        expectPixel(500, 479, black, op.name);
        // Repeat wrapping blends the edge texels with the opposite edge, so
        // the covered border pixels are only known not to be background.
        expectCovered(1, 100, op.name);
        expectCovered(638, 400, op.name);
        expectCovered(100, 1, op.name);
        expectCovered(500, 478, op.name);
    }
}

TEST_F(SpriteTest, PositionAndHalfSizePlaceTheSquare) {
    Sprite sprite("data/red.jpg");
    sprite.setHalfSize(0.25f);
    sprite.setPosition(0.5f, 0.5f, fullScreenDepth);
    for (const DrawOperation& op : allDraws) {
        resetGlState();
        op.draw(sprite);
        // x and y from 0.25 to 0.75 of a view 1.00281 across: pixels 400..559
        // and 300..419.
        expectPixel(480, 360, red, op.name);
        expectPixel(405, 305, red, op.name);
        expectPixel(554, 414, red, op.name);
        expectPixel(395, 360, black, op.name);
        expectPixel(564, 360, black, op.name);
        expectPixel(480, 295, black, op.name);
        expectPixel(480, 424, black, op.name);
    }
    sprite.setHalfSize(0.0f);
    for (const DrawOperation& op : allDraws) {
        resetGlState();
        op.draw(sprite);
        expectPixel(480, 360, black, std::string(op.name) + " of half-size 0");
    }
}

TEST_F(SpriteTest, DrawLeavesMatrixAndDepthAsFoundAndItsTextureBound) {
    Sprite sprite("data/red.jpg");
    sprite.resetPlacement();
    glTranslatef(0.0f, 0.0f, -0.5f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    sprite.draw();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(after)));
    GLboolean depthWrites = GL_FALSE;
    GLint bound = 0;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_EQ(bound, sprite.textureName());
    EXPECT_EQ(depthAt(320, 240), 1.0f) << "the sprite wrote depth";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(SpriteTest, DrawIsDepthTestedAndCutoutDrawsOverEverything) {
    Sprite sprite("data/red.jpg");
    sprite.resetPlacement();
    drawPlainQuad(-1.0f, 0.1f, 0.0f, 0.0f, 1.0f);  // a blue square in front
    sprite.draw();
    expectPixel(320, 240, blue, "draw behind a nearer square");
    expectPixel(50, 50, red, "draw beside it");
    sprite.drawBlended();
    expectPixel(320, 240, blue, "drawBlended behind a nearer square");

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
    drawCutout(sprite);
    expectPixel(320, 240, red, "drawCutout over the nearer square");
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    GLint alphaFunction = 0;
    GLfloat alphaReference = 0.0f;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &alphaFunction);
    glGetFloatv(GL_ALPHA_TEST_REF, &alphaReference);
    EXPECT_EQ(alphaFunction, GL_GREATER);
    EXPECT_FLOAT_EQ(alphaReference, 0.5f);
}

TEST_F(SpriteTest, CutoutKeepsTexelsAboveHalfAlphaOpaqueAndBlendedMixes) {
    AlphaSprite sprite("data/bands_alfa.jpg", "data/red.jpg");
    ASSERT_GT(sprite.textureName(), 0);
    sprite.resetPlacement();
    // Band centres on screen, alpha 0, 110, 140, 255 from the left.
    const int bandX[] = {80, 240, 400, 560};

    drawPlainQuad(-1.0f, 1.0f, 0.0f, 0.0f, 1.0f);  // blue over the whole view
    drawCutout(sprite);
    const Rgb cutout[] = {blue, blue, red, red};
    for (int band = 0; band < 4; ++band) {
        expectPixel(bandX[band], 240, cutout[band], "cutout band " + std::to_string(band));
    }

    resetGlState();
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glBlendFunc(GL_ONE, GL_ZERO);  // drawBlended must set its own function
    sprite.drawBlended();
    const Rgb blended[] = {blue, {110, 0, 145}, {140, 0, 115}, red};
    for (int band = 0; band < 4; ++band) {
        expectPixel(bandX[band], 240, blended[band], "blended band " + std::to_string(band));
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(SpriteTest, BlendedOpaqueSpriteLooksLikeDraw) {
    Sprite sprite("data/quadrants.jpg");
    sprite.resetPlacement();
    std::vector<uint8_t> drawn(width * height * 3), blended(width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    drawPlainQuad(-5.0f, 1.0f, 0.3f, 0.6f, 0.9f);  // a background to blend over
    sprite.draw();
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, drawn.data());
    resetGlState();
    drawPlainQuad(-5.0f, 1.0f, 0.3f, 0.6f, 0.9f);
    sprite.drawBlended();
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, blended.data());
    size_t differing = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        differing += std::abs(drawn[i] - blended[i]) > 1 ? 1 : 0;
    }
    EXPECT_EQ(differing, 0u);
}

TEST_F(SpriteTest, DrawTrianglesUsesWhateverTextureIsBound) {
    Sprite redSprite("data/red.jpg");
    Sprite greenSprite("data/green.jpg");
    redSprite.resetPlacement();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(greenSprite.textureName()));
    redSprite.drawTriangles();
    expectPixel(320, 240, green, "drawTriangles");
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, greenSprite.textureName());
}

TEST_F(SpriteTest, MissingPictureIsReportedOnceAndDrawsWhite) {
    struct Case {
        const char* name;
        std::function<Sprite*()> make;
        const char* reported;
    };
    const Case cases[] = {
        {"missing picture", [] { return new Sprite("data/absent.jpg"); }, "data/absent.jpg"},
        {"backslash path", [] { return new Sprite("data\\absent2.jpg"); }, "data\\absent2.jpg"},
        {"missing alpha picture",
         [] { return new AlphaSprite("data/absent_alfa.jpg", "data/red.jpg"); }, "data/red.jpg"},
        {"missing colour picture",
         [] { return new AlphaSprite("data/bands_alfa.jpg", "data/absent.jpg"); },
         "data/absent.jpg"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        std::unique_ptr<Sprite> sprite(c.make());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, std::string("Error loading: ") + c.reported + "\n") << c.name;
        EXPECT_EQ(sprite->textureName(), 0) << c.name;
        sprite->resetPlacement();
        for (const DrawOperation& op : allDraws) {
            resetGlState();
            op.draw(*sprite);
            expectPixel(320, 240, white, std::string(c.name) + ", " + op.name);
        }
    }
}

}  // namespace
