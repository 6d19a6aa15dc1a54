#include <GL/gl.h>

#include <set>
#include <string>
#include <vector>

#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "sequence/timeline.h"
#include "support/gl_context.h"
#include "support/process.h"
#include "support/scene_pictures.h"

namespace {

// Every slot, array members in index order, in the order the pictures load.
std::vector<Sprite*> catalogueSlots() {
    std::vector<Sprite*> slots = {sphereOverlay, blobOverlay};
    auto add = [&slots](auto& group) {
        for (Sprite* member : group) {
            slots.push_back(member);
        }
    };
    add(slutPictures);
    add(maskinePictures);
    add(ostPictures);
    add(kostPictures);
    add(noisePictures);
    add(soyaPictures);
    add(maskineLatePictures);
    add(hearingPictures);
    add(codePictures);
    add(gfxPictures);
    add(msxPictures);
    add(pausePictures);
    return slots;
}

class OverlayCatalogue : public HeadlessGlTest {
protected:
    // Loads the catalogue from a fresh picture directory and returns the
    // "Error loading" records it wrote.
    std::vector<std::string> load(const ScenePictureOptions& options) {
        resetGlState();
        std::string directory = makeTemporaryDirectory("velmorra-catalogue");
        writeScenePictures(directory, options);
        setProgramDirectory(directory + "/");
        testing::internal::CaptureStderr();
        loadOverlayCatalogue();
        return errorLoadingRecords(testing::internal::GetCapturedStderr());
    }
};

TEST_F(OverlayCatalogue, EverySlotHoldsItsOwnPictureFullScreen) {
    ASSERT_EQ(load({}), std::vector<std::string>{});
    std::vector<Sprite*> slots = catalogueSlots();
    const std::vector<std::string>& pictures = overlayColourPictures();
    ASSERT_EQ(slots.size(), static_cast<size_t>(overlayPictureCount));
    ASSERT_EQ(pictures.size(), slots.size());

    std::set<int32_t> textures;
    for (size_t i = 0; i < slots.size(); ++i) {
        Sprite* slot = slots[i];
        ASSERT_NE(slot, nullptr) << pictures[i];
        EXPECT_EQ(slot->halfSizeValue(), 1.0f) << pictures[i];
        EXPECT_EQ(slot->positionX(), 0.0f) << pictures[i];
        EXPECT_EQ(slot->positionY(), 0.0f) << pictures[i];
        EXPECT_EQ(slot->positionZ(), fullScreenDepth) << pictures[i];
        EXPECT_GT(slot->textureName(), 0) << pictures[i];
        textures.insert(slot->textureName());

        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        slot->draw();
        std::vector<uint8_t> centre = pixelAt(width / 2, height / 2);
        EXPECT_TRUE(pixelNear(centre, sceneColour(pictures[i])))
            << "slot " << i << " should show " << pictures[i] << ", shows "
            << describePixel(centre);
    }
    // Pictures that name the same file still get a texture each.
    EXPECT_EQ(textures.size(), slots.size());
}

TEST_F(OverlayCatalogue, ReportsEveryFailedPictureInLoadOrderAndGoesOn) {
    std::set<std::string> everything(overlayColourPictures().begin(),
                                     overlayColourPictures().end());
    const std::vector<std::string>& alphas = overlayAlphaPictures();
    everything.insert(alphas.begin(), alphas.end());

    const std::vector<std::string> sharedAlphaUsers = {
        "data/maskine8.jpg",  "data/maskine9.jpg",  "data/maskine10.jpg", "data/maskine11.jpg",
        "data/maskine12.jpg", "data/maskine13.jpg", "data/maskine14.jpg", "data/maskine15.jpg",
        "data/maskine16.jpg", "data/maskine17.jpg",
    };
    const struct {
        const char* what;
        std::set<std::string> missing;
        std::vector<std::string> records;
    } cases[] = {
        {"nothing there", everything, overlayColourPictures()},
        {"the shared alpha picture", {"data/maskine8_alfa.jpg"}, sharedAlphaUsers},
        {"one colour picture", {"data/pause2.jpg"}, {"data/pause2.jpg"}},
        {"an alpha picture", {"data/slut3_alfa.jpg"}, {"data/slut3.jpg"}},
        {"a picture no scene draws", {"data/kost2.jpg"}, {"data/kost2.jpg"}},
    };
    for (const auto& c : cases) {
        ScenePictureOptions options;
        options.missing = c.missing;
        EXPECT_EQ(load(options), c.records) << c.what;
        std::vector<Sprite*> slots = catalogueSlots();
        for (size_t i = 0; i < slots.size(); ++i) {
            ASSERT_NE(slots[i], nullptr) << c.what << ", slot " << i;
            bool failed = false;
            for (const std::string& record : c.records) {
                failed = failed || record == overlayColourPictures()[i];
            }
            EXPECT_EQ(slots[i]->textureName() == 0, failed)
                << c.what << ": " << overlayColourPictures()[i];
            EXPECT_EQ(slots[i]->halfSizeValue(), 1.0f) << c.what;
        }
    }
}

TEST_F(OverlayCatalogue, AMissingGrainPictureCoversEveryEvenFrameInWhite) {
    ScenePictureOptions options;
    options.missing = {"data/nois1.jpg"};
    ASSERT_EQ(load(options), std::vector<std::string>{"data/nois1.jpg"});
    const struct {
        SceneTime t;
        Rgb centre;
    } cases[] = {
        {0, {255, 255, 255}},
        {3561, {0, 0, 0}},
        {47002, {255, 255, 255}},
        {47001, sceneColour("data/soya2.jpg")},
    };
    for (const auto& c : cases) {
        renderFrame(c.t);
        std::vector<uint8_t> centre = pixelAt(width / 2, height / 2);
        EXPECT_TRUE(pixelNear(centre, c.centre)) << "t = " << c.t << ": " << describePixel(centre);
    }
}

}  // namespace
