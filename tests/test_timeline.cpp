#include <GL/gl.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "effects/bitmap_environment.h"
#include "effects/box.h"
#include "effects/spheres.h"
#include "effects/spike.h"
#include "effects/tunnel.h"
#include "effects/twist.h"
#include "platform/gl_extensions.h"
#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/overlay_scenes.h"
#include "sequence/effect_builds.h"
#include "sequence/timeline.h"
#include "support/gl_context.h"
#include "support/process.h"
#include "support/scene_pictures.h"

namespace {

std::vector<std::string> runningRows(SceneTime t) {
    std::vector<std::string> names;
    for (const TimelineRow& row : DemoTimeline) {
        if (rowRuns(row, t)) {
            names.push_back(row.name);
        }
    }
    return names;
}

TEST(DemoTimeline, RunsTheScenesWhoseExclusiveWindowsHoldT) {
    using Names = std::vector<std::string>;
    const struct {
        SceneTime t;
        Names scenes;
    } cases[] = {
        {0, {}},
        {1, {"hearingScene"}},
        {3559, {"hearingScene"}},
        {3560, {}},
        {3650, {}},
        {3651, {"creditsScene"}},
        {10125, {"creditsScene"}},
        {10126, {"creditsScene", "twistPillarScene"}},
        {10300, {"creditsScene", "twistPillarScene"}},
        {10650, {"creditsScene", "twistPillarScene"}},
        {10651, {"twistPillarScene"}},
        {31999, {"twistPillarScene"}},
        {32000, {}},
        {32001, {"spikeScene"}},
        {45999, {"spikeScene"}},
        {46000, {}},
        {46157, {}},
        {46158, {"soyaScene"}},
        {51502, {"soyaScene"}},
        {51503, {}},
        {53312, {}},
        {53313, {"twistRoomScene"}},
        {66517, {"twistRoomScene"}},
        {66518, {}},
        {67522, {}},
        {67523, {"boxScene"}},
        {70000, {"boxScene"}},
        {81511, {}},
        {81679, {}},
        {81680, {"spheresScene"}},
        {88393, {}},
        {88840, {}},
        {88841, {"tunnelScene"}},
        {109586, {"tunnelScene"}},
        {109587, {}},
        {110150, {}},
        {110151, {"bitmapScene"}},
        {131026, {"bitmapScene"}},
        {131027, {}},
        {0xFFFFFFFFu, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runningRows(c.t), c.scenes) << "t = " << c.t;
    }
}

TEST(DemoTimeline, RowsCallTheScenesTheyAreNamedAfter) {
    const std::map<std::string, SceneFunction> scenes = {
        {"hearingScene", hearingScene},
        {"creditsScene", creditsScene},
        {"twistPillarScene", twistPillarScene},
        {"spikeScene", spikeScene},
        {"soyaScene", soyaScene},
        {"twistRoomScene", twistRoomScene},
        {"boxScene", boxScene},
        {"spheresScene", spheresScene},
        {"tunnelScene", tunnelScene},
        {"bitmapScene", bitmapScene},
    };
    ASSERT_EQ(scenes.size(), DemoTimeline.size());
    for (const TimelineRow& row : DemoTimeline) {
        auto found = scenes.find(row.name);
        ASSERT_NE(found, scenes.end()) << row.name;
        EXPECT_EQ(row.scene, found->second) << row.name;
    }
}

// Every scene must hand the next one the state every frame starts from.
class FrameInvariant : public HeadlessGlTest {};

std::string stateDifferences(const GLdouble* projection) {
    std::ostringstream out;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    if (mode != GL_MODELVIEW) {
        out << " matrix mode " << mode << ";";
    }
    GLdouble now[16];
    glGetDoublev(GL_PROJECTION_MATRIX, now);
    for (int i = 0; i < 16; ++i) {
        if (now[i] != projection[i]) {
            out << " projection[" << i << "];";
        }
    }
    GLdouble modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) {
        if (modelview[i] != (i % 5 == 0 ? 1.0 : 0.0)) {
            out << " modelview[" << i << "];";
        }
    }
    const struct {
        GLenum capability;
        bool on;
        const char* name;
    } enables[] = {
        {GL_TEXTURE_2D, true, "texture 2D"},
        {GL_DEPTH_TEST, true, "depth test"},
        {GL_BLEND, false, "blend"},
        {GL_ALPHA_TEST, false, "alpha test"},
        {GL_FOG, false, "fog"},
        {GL_SCISSOR_TEST, false, "scissor test"},
        {GL_CULL_FACE, false, "cull face"},
        {GL_TEXTURE_GEN_S, false, "texgen s"},
        {GL_TEXTURE_GEN_T, false, "texgen t"},
    };
    for (const auto& e : enables) {
        if ((glIsEnabled(e.capability) == GL_TRUE) != e.on) {
            out << " " << e.name << (e.on ? " off;" : " on;");
        }
    }
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
    if (unit != GL_TEXTURE0_ARB) {
        out << " active texture unit " << unit - GL_TEXTURE0_ARB << ";";
    } else {
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        if (glIsEnabled(GL_TEXTURE_2D)) {
            out << " texture 2D on unit 1;";
        }
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    if (depthWrites != GL_TRUE) {
        out << " depth writes off;";
    }
    return out.str();
}

TEST_F(FrameInvariant, HoldsAfterEveryFrameOfTheWholeDemo) {
    resetGlState();
    const std::string directory = makeTemporaryDirectory("velmorra-invariant");
    writeScenePictures(directory);
    setProgramDirectory(directory + "/");
    buildEffects();
    loadOverlayCatalogue();
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    ASSERT_EQ(stateDifferences(projection), "") << "before the first frame";

    // Checked after each scene rather than after the whole frame: the grain
    // drawn last turns blending off and depth writes on itself, which would
    // hide a scene that leaves either behind.
    std::vector<std::string> failures;
    auto check = [&](SceneTime t, const char* after) {
        std::string differences = stateDifferences(projection);
        if (!differences.empty() && failures.size() < 20) {
            failures.push_back("t = " + std::to_string(t) + " after " + after + ":" + differences);
        }
    };
    for (SceneTime t = 0; t <= 131100; t += 37) {
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const TimelineRow& row : DemoTimeline) {
            if (rowRuns(row, t)) {
                row.scene(t);
                check(t, row.name);
            }
        }
    }
    EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
}

}  // namespace
