// The generated pictures: every listed file exists and is a texture the demo
// accepts, and each kind of picture looks the way its use needs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "asset_names.h"
#include "media/file_reading.h"
#include "media/jpeg.h"
#include "media/texture.h"
#include "support/jpeg_encode.h"
#include "support/process.h"

namespace {

const std::string dataDir = VELMORRA_BUILD_DIR "/data";

struct Picture {
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<uint8_t[]> pixels;

    bool ok() const { return pixels != nullptr; }
    const uint8_t* at(int x, int y) const {
        return pixels.get() + (static_cast<size_t>(y) * width + x) * channels;
    }
    // Opacity the texture loader derives: the brightest channel.
    float alpha(int x, int y) const {
        const uint8_t* p = at(x, y);
        return std::max({p[0], p[1], p[2]}) / 255.0f;
    }
    float luma(int x, int y) const {
        const uint8_t* p = at(x, y);
        return (0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2]) / 255.0f;
    }
};

Picture load(std::string_view file) {
    Picture p;
    size_t size = 0;
    auto bytes = readWholeFile(dataDir + "/" + std::string(file), size, maxPictureFileBytes);
    if (bytes) {
        p.pixels = decodeJpeg(p.width, p.height, p.channels, bytes.get(), size);
    }
    return p;
}

template <typename Predicate>
std::vector<const assets::Picture*> picturesWhere(Predicate predicate) {
    std::vector<const assets::Picture*> out;
    for (const assets::Picture& p : assets::pictures) {
        if (predicate(p)) {
            out.push_back(&p);
        }
    }
    return out;
}

std::vector<const assets::Picture*> picturesOfUse(assets::Use use) {
    return picturesWhere([use](const assets::Picture& p) { return p.use == use; });
}

// Share of pixels (0..1) for which the predicate holds.
template <typename Predicate>
double share(const Picture& p, Predicate predicate) {
    size_t count = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            count += predicate(x, y) ? 1 : 0;
        }
    }
    return static_cast<double>(count) / (static_cast<double>(p.width) * p.height);
}

TEST(MediaFiles, ListNamesEveryFileOnceWithAlphaPicturesListedAsMasks) {
    std::set<std::string_view> names;
    for (const assets::Picture& p : assets::pictures) {
        EXPECT_TRUE(names.insert(p.file).second) << p.file << " listed twice";
        EXPECT_TRUE(p.file.ends_with(".jpg")) << p.file;
        EXPECT_EQ(p.use == assets::Use::Mask, p.file.ends_with("_alfa.jpg")) << p.file;
        if (p.use == assets::Use::Cutout) {
            const assets::Picture* alpha = assets::findPicture(p.alpha);
            ASSERT_NE(alpha, nullptr) << p.file << " names an unlisted alpha picture";
            EXPECT_EQ(alpha->use, assets::Use::Mask) << p.alpha;
        } else {
            EXPECT_TRUE(p.alpha.empty()) << p.file;
        }
    }
    EXPECT_EQ(names.size(), 112u);
    // Every alpha picture serves at least one cut-out; the shared one serves ten.
    for (const assets::Picture* mask : picturesOfUse(assets::Use::Mask)) {
        auto users = picturesWhere([&](const assets::Picture& p) { return p.alpha == mask->file; });
        EXPECT_EQ(users.size(), mask->file == "maskine8_alfa.jpg" ? 10u : 1u) << mask->file;
    }
}

TEST(MediaFiles, EveryPictureDecodesToThreeChannelsSquareWithPowerOfTwoSide) {
    for (const assets::Picture& entry : assets::pictures) {
        SCOPED_TRACE(std::string(entry.file));
        Picture p = load(entry.file);
        ASSERT_TRUE(p.ok()) << "missing or not decodable";
        EXPECT_EQ(p.channels, 3);
        EXPECT_EQ(p.width, p.height);
        EXPECT_EQ(p.width, entry.side);
        EXPECT_EQ(p.width & (p.width - 1), 0) << "side is not a power of two";
        if (!entry.alpha.empty()) {
            Picture a = load(entry.alpha);
            ASSERT_TRUE(a.ok());
            EXPECT_EQ(a.width, p.width);
            EXPECT_EQ(a.height, p.height);
        }
    }
}

TEST(MediaFiles, DataHoldsNoPictureOutsideTheList) {
    for (const auto& item : std::filesystem::directory_iterator(dataDir)) {
        std::string name = item.path().filename().string();
        if (name.ends_with(".jpg")) {
            EXPECT_NE(assets::findPicture(name), nullptr) << name << " is not a listed picture";
        }
    }
}

// The cut-outs lie over the 3D effects: the middle of the screen must show
// the effect, the mask must still show something, and thresholding at one
// half must give clean edges (no speckles from compression).
TEST(MediaFiles, CutoutMasksLeaveTheCentreOpenWithCleanEdges) {
    for (const assets::Picture* entry : picturesOfUse(assets::Use::Mask)) {
        SCOPED_TRACE(std::string(entry->file));
        Picture m = load(entry->file);
        ASSERT_TRUE(m.ok());
        int lo = m.width * 3 / 10, hi = m.width * 7 / 10;
        float centreMax = 0;
        for (int y = lo; y < hi; ++y) {
            for (int x = lo; x < hi; ++x) {
                centreMax = std::max(centreMax, m.alpha(x, y));
            }
        }
        EXPECT_LE(centreMax, 0.5f) << "the middle of the screen is covered";
        double opaque = share(m, [&](int x, int y) { return m.alpha(x, y) > 0.5f; });
        EXPECT_GT(opaque, 0.03) << "the overlay shows almost nothing";
        EXPECT_LT(opaque, 0.5) << "the overlay hides most of the effect";
        double undecided =
            share(m, [&](int x, int y) { return std::fabs(m.alpha(x, y) - 0.5f) < 0.25f; });
        EXPECT_LT(undecided, 0.03) << "the mask is not two-valued";
        // A pixel on the other side of the threshold from all eight
        // neighbours is a speckle.
        int speckles = 0;
        for (int y = 1; y + 1 < m.height; ++y) {
            for (int x = 1; x + 1 < m.width; ++x) {
                bool on = m.alpha(x, y) > 0.5f;
                bool alone = true;
                for (int dy = -1; dy <= 1 && alone; ++dy) {
                    for (int dx = -1; dx <= 1 && alone; ++dx) {
                        if ((dx != 0 || dy != 0) && (m.alpha(x + dx, y + dy) > 0.5f) == on) {
                            alone = false;
                        }
                    }
                }
                speckles += alone ? 1 : 0;
            }
        }
        EXPECT_EQ(speckles, 0);
    }
}

TEST(MediaFiles, GrainPicturesAreSparseDarkAndDifferent) {
    auto grains = picturesOfUse(assets::Use::Grain);
    ASSERT_EQ(grains.size(), 2u);
    Picture a = load(grains[0]->file), b = load(grains[1]->file);
    ASSERT_TRUE(a.ok() && b.ok());
    for (const Picture* p : {&a, &b}) {
        double bright = share(*p, [&](int x, int y) { return p->alpha(x, y) > 0.5f; });
        EXPECT_GT(bright, 0.003) << "no visible grain";
        EXPECT_LT(bright, 0.05) << "grain would wash the picture out";
        double mean = 0;
        for (int y = 0; y < p->height; ++y) {
            for (int x = 0; x < p->width; ++x) {
                mean += p->alpha(x, y);
            }
        }
        EXPECT_LT(mean / (p->width * p->height), 0.1);
    }
    double differing =
        share(a, [&](int x, int y) { return std::fabs(a.alpha(x, y) - b.alpha(x, y)) > 0.3f; });
    EXPECT_GT(differing, 0.005) << "the two grain pictures are the same";
}

// Mean absolute luma step between column (or row) i and the next one,
// wrapping at the edge.
double meanStep(const Picture& p, int i, bool columns) {
    double sum = 0;
    int n = columns ? p.height : p.width;
    int next = (i + 1) % (columns ? p.width : p.height);
    for (int j = 0; j < n; ++j) {
        sum += columns ? std::fabs(p.luma(i, j) - p.luma(next, j))
                       : std::fabs(p.luma(j, i) - p.luma(j, next));
    }
    return sum / n;
}

TEST(MediaFiles, RepeatedTexturesAreSeamless) {
    for (const assets::Picture* entry : picturesOfUse(assets::Use::Tile)) {
        SCOPED_TRACE(std::string(entry->file));
        Picture p = load(entry->file);
        ASSERT_TRUE(p.ok());
        for (bool columns : {true, false}) {
            int n = columns ? p.width : p.height;
            double inner = 0, largest = 0;
            for (int i = 0; i + 1 < n; ++i) {
                double s = meanStep(p, i, columns);
                inner += s;
                largest = std::max(largest, s);
            }
            inner /= n - 1;
            double seam = meanStep(p, n - 1, columns);
            // The wrap must look like any other step inside the picture.
            EXPECT_LE(seam, std::max(largest, 2.5 * inner) + 0.01)
                << (columns ? "left and right" : "top and bottom") << " edges do not meet";
        }
    }
}

TEST(MediaFiles, GlowsAreRadialOnBlack) {
    for (const assets::Picture* entry : picturesOfUse(assets::Use::Flare)) {
        SCOPED_TRACE(std::string(entry->file));
        Picture p = load(entry->file);
        ASSERT_TRUE(p.ok());
        int c = p.width / 2;
        EXPECT_GT(p.alpha(c, c), 0.8f);
        for (auto [x, y] : {std::pair{0, 0},
                            {p.width - 1, 0},
                            {0, p.height - 1},
                            {p.width - 1, p.height - 1},
                            {c, 0},
                            {0, c}}) {
            EXPECT_LT(p.alpha(x, y), 0.03f) << "at " << x << "," << y;
        }
        // Brightness falls along every direction from the centre.
        float previous = 2;
        for (int r = 0; r < c; r += c / 8) {
            float ring =
                (p.alpha(c + r, c) + p.alpha(c - r, c) + p.alpha(c, c + r) + p.alpha(c, c - r)) / 4;
            EXPECT_LE(ring, previous + 0.02f) << "at radius " << r;
            previous = ring;
        }
    }
}

TEST(MediaFiles, TranslucentBoxTextureHasBrightEdgesAndFaintFaces) {
    for (const assets::Picture* entry : picturesOfUse(assets::Use::Translucent)) {
        Picture p = load(entry->file);
        ASSERT_TRUE(p.ok());
        double edge = 0, face = 0;
        int edges = 0, faces = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                int border = std::min({x, y, p.width - 1 - x, p.height - 1 - y});
                if (border < 3) {
                    edge += p.alpha(x, y);
                    ++edges;
                } else if (border > p.width / 8) {
                    face += p.alpha(x, y);
                    ++faces;
                }
            }
        }
        EXPECT_GT(edge / edges, 0.7) << entry->file;
        EXPECT_LT(face / faces, 0.3) << entry->file;
    }
}

TEST(MediaFiles, PixelatedTextureIsMadeOfFlatBlocks) {
    for (const assets::Picture* entry : picturesOfUse(assets::Use::Pixelated)) {
        Picture p = load(entry->file);
        ASSERT_TRUE(p.ok());
        // Find the largest block size at which nearly every pixel equals the
        // top-left pixel of its block; it must be at least 4.
        int best = 1;
        for (int block : {2, 4, 8, 16}) {
            double flat = share(p, [&](int x, int y) {
                const uint8_t* a = p.at(x, y);
                const uint8_t* b = p.at(x / block * block, y / block * block);
                return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) < 30;
            });
            if (flat > 0.95) {
                best = block;
            }
        }
        EXPECT_GE(best, 4) << entry->file;
        std::set<int> colours;
        for (int y = 0; y < p.height; y += best) {
            for (int x = 0; x < p.width; x += best) {
                const uint8_t* a = p.at(x, y);
                colours.insert((a[0] / 32) * 64 + (a[1] / 32) * 8 + a[2] / 32);
            }
        }
        EXPECT_GE(colours.size(), 3u) << "a flat picture is not a pattern";
    }
}

TEST(MediaFiles, SphereMapIsABrightDiscOnDark) {
    for (const assets::Picture* entry : picturesOfUse(assets::Use::SphereMap)) {
        Picture p = load(entry->file);
        ASSERT_TRUE(p.ok());
        int c = p.width / 2;
        EXPECT_LT(p.alpha(2, 2), 0.15f);
        EXPECT_LT(p.alpha(p.width - 3, p.height - 3), 0.15f);
        double inside = share(p, [&](int x, int y) {
            return std::hypot(x - c + 0.5, y - c + 0.5) < c * 0.9 && p.alpha(x, y) > 0.2f;
        });
        EXPECT_GT(inside, 0.3) << "the disc is mostly dark";
    }
}

// Full-screen pictures must show something, and pictures that follow or
// flicker against each other must differ.
TEST(MediaFiles, FullScreenPicturesHaveContentAndNeighboursDiffer) {
    auto screens = picturesOfUse(assets::Use::FullScreen);
    std::vector<Picture> decoded;
    for (const assets::Picture* entry : screens) {
        decoded.push_back(load(entry->file));
        const Picture& p = decoded.back();
        ASSERT_TRUE(p.ok()) << entry->file;
        double mean = 0, square = 0;
        for (int y = 0; y < p.height; y += 2) {
            for (int x = 0; x < p.width; x += 2) {
                mean += p.luma(x, y);
                square += p.luma(x, y) * p.luma(x, y);
            }
        }
        double n = p.width * p.height / 4.0;
        double spread = std::sqrt(std::max(0.0, square / n - (mean / n) * (mean / n)));
        EXPECT_GT(spread, 0.04) << entry->file << " is nearly flat";
    }
    for (size_t i = 1; i < screens.size(); ++i) {
        const Picture &a = decoded[i - 1], &b = decoded[i];
        double differing =
            share(a, [&](int x, int y) { return std::fabs(a.luma(x, y) - b.luma(x, y)) > 0.1f; });
        EXPECT_GT(differing, 0.05) << screens[i - 1]->file << " and " << screens[i]->file;
    }
}

TEST(MediaFiles, GeneratorWritesIdenticalBytesOnEveryRun) {
    std::string dir = makeTemporaryDirectory("mediagen");
    ProcessResult r = runProgram({VELMORRA_MEDIAGEN, dir}, {}, 120);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> files;
    for (const assets::Picture& p : assets::pictures) {
        files.emplace_back(p.file);
    }
    files.emplace_back(assets::musicFile);
    for (const std::string& file : files) {
        const std::vector<uint8_t> first = readFile(dataDir + "/" + file);
        EXPECT_FALSE(first.empty()) << file;
        EXPECT_TRUE(first == readFile(dir + "/" + file)) << file << " differs between runs";
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
