#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "effects/projection.h"
#include "effects/sphere.h"
#include "support/gl_context.h"

namespace {

struct Point {
    double x, y, z;
};

// The object-space vertices of the triangles a draw produces, read back
// through GL feedback under an orthographic box of +-100 on every axis (so a
// sphere of radius 50 is never clipped).
template <typename Draw>
std::vector<Point> capturedVertices(Draw draw) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-100, 100, -100, 100, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    EXPECT_GE(used, 0) << "feedback buffer overflow";

    std::vector<Point> points;
    for (GLint k = 0; k < used;) {
        const auto token = static_cast<GLint>(buffer[k++]);
        EXPECT_EQ(token, GL_POLYGON_TOKEN);
        const auto count = static_cast<GLint>(buffer[k++]);
        for (GLint v = 0; v < count; ++v, k += 3) {
            points.push_back({buffer[k] / 320.0 * 100 - 100, buffer[k + 1] / 240.0 * 100 - 100,
                              (1 - 2 * buffer[k + 2]) * 100});
        }
    }
    return points;
}

double distance(const Point& p, const Point& q) {
    return std::hypot(p.x - q.x, p.y - q.y, p.z - q.z);
}

void forgetSphereTable() {
    sphereWorking = {};
    sphereRest = {};
    sphereTableBuilt = false;
}

bool sameTable(const SphereVectorTable& a, const SphereVectorTable& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const Point centre = {10, -20, 5};

std::vector<Point> sphereAtCentre(double radius, int slices) {
    return capturedVertices([&] { drawSphere(10, -20, 5, radius, slices, 1, 1); });
}

class SphereRoutine : public HeadlessGlTest {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
        forgetSphereTable();
    }
    void TearDown() override { forgetSphereTable(); }
};

TEST_F(SphereRoutine, FirstSphereIsTrueEvenAfterADeformationAndFillsBothTables) {
    deformSphereClamped(0.5f, 0.3f, 0.2f, 0.7f, 1.0f);
    const std::vector<Point> points = sphereAtCentre(40, 50);

    // 25 strips of 50 quads, two triangles each.
    ASSERT_EQ(points.size(), 25u * 50 * 2 * 3);
    for (const Point& p : points) {
        ASSERT_NEAR(distance(p, centre), 40, 0.02);
    }
    ASSERT_TRUE(sphereTableBuilt);
    EXPECT_TRUE(sameTable(sphereWorking, sphereRest));
    // Each cell holds the upper boundary's vector first: row 0 starts at the
    // bottom pole, the last row ends at the top one.
    const SphereCell& bottom = sphereRest.cells[0][0];
    const SphereCell& top = sphereRest.cells[24][50];
    EXPECT_FLOAT_EQ(bottom.lower[1], -1.0f);
    EXPECT_FLOAT_EQ(top.upper[1], 1.0f);
    const SphereCell& cell = sphereRest.cells[13][5];  // upper latitude 2pi/50 * 14 - pi/2
    const double latitude = 14 * 2 * M_PI / 50 - M_PI / 2;
    const double longitude = 5 * 2 * M_PI / 50;
    EXPECT_NEAR(cell.upper[0], std::cos(latitude) * std::cos(longitude), 1e-6);
    EXPECT_NEAR(cell.upper[1], std::sin(latitude), 1e-6);
    EXPECT_NEAR(cell.upper[2], std::cos(latitude) * std::sin(longitude), 1e-6);
}

TEST_F(SphereRoutine, LaterSpheresDrawTheWorkingTableAsStored) {
    const std::vector<Point> first = sphereAtCentre(40, 50);
    EXPECT_EQ(sphereAtCentre(40, 50).size(), first.size());
    deformSphere(0.5f, 0.3f, 0.2f, 0.2f, 2.0f);
    const std::vector<Point> deformed = sphereAtCentre(40, 50);
    ASSERT_EQ(deformed.size(), first.size());

    std::vector<Point> expected;
    for (const auto& row : sphereWorking.cells) {
        for (const SphereCell& cell : row) {
            for (const float* v : {cell.upper, cell.lower}) {
                expected.push_back({10 + 40.0 * v[0], -20 + 40.0 * v[1], 5 + 40.0 * v[2]});
            }
        }
    }
    double farthestFromTable = 0;
    double lengthSpread = 0;
    for (const Point& p : deformed) {
        double nearest = 1e9;
        for (const Point& q : expected) {
            nearest = std::min(nearest, distance(p, q));
        }
        farthestFromTable = std::max(farthestFromTable, nearest);
        lengthSpread = std::max(lengthSpread, std::abs(distance(p, centre) - 40));
    }
    EXPECT_LT(farthestFromTable, 0.02);
    EXPECT_GT(lengthSpread, 4.0) << "the deformation did not reach the drawing";
}

TEST_F(SphereRoutine, NegativeArgumentsAreAbsoluteAndDegenerateOnesDrawNothing) {
    for (const auto& [radius, slices] : {std::pair{5.0, 3}, {0.0, 50}, {5.0, -3}, {5.0, INT_MIN}}) {
        EXPECT_TRUE(sphereAtCentre(radius, slices).empty()) << radius << " " << slices;
        EXPECT_FALSE(sphereTableBuilt) << radius << " " << slices;
    }
    // A slice count the table has no room for draws a true sphere and leaves
    // the table unbuilt.
    const std::vector<Point> fine = sphereAtCentre(30, 64);
    EXPECT_EQ(fine.size(), 32u * 64 * 2 * 3);
    EXPECT_FALSE(sphereTableBuilt);
    for (const Point& p : fine) {
        ASSERT_NEAR(distance(p, centre), 30, 0.02);
    }

    const std::vector<Point> reference = sphereAtCentre(5, 50);
    ASSERT_FALSE(reference.empty());
    for (const auto& [radius, slices] : {std::pair{-5.0, 50}, {5.0, -50}, {-5.0, -50}}) {
        const std::vector<Point> same = sphereAtCentre(radius, slices);
        ASSERT_EQ(same.size(), reference.size());
        EXPECT_EQ(std::memcmp(same.data(), reference.data(), same.size() * sizeof(Point)), 0)
            << radius << " " << slices;
    }
}

TEST_F(SphereRoutine, DeformationsRebuildFromRestAndTheClampedOneStaysInTheUnitCube) {
    sphereAtCentre(5, 50);
    const SphereVectorTable rest = sphereRest;

    deformSphere(0.5f, 0.3f, 0.2f, 0.7f, 0.4f);
    const SphereVectorTable once = sphereWorking;
    deformSphere(0.5f, 0.3f, 0.2f, 0.7f, 3.0f);
    deformSphere(0.5f, 0.3f, 0.2f, 0.7f, 0.4f);
    EXPECT_TRUE(sameTable(sphereWorking, once)) << "deformations accumulate";
    EXPECT_TRUE(sameTable(sphereRest, rest));

    // One vector by the formula: k = 1 + a (sin(x/0.5 + 2.2p) + sin(y/0.3 + 5p)
    // + sin(z/0.2 + 4.9p)).
    const float* v = rest.cells[17][9].upper;
    const double k = 1 + 0.7 * (std::sin(v[0] / 0.5 + 2.2 * 0.4) + std::sin(v[1] / 0.3 + 5 * 0.4) +
                                std::sin(v[2] / 0.2 + 4.9 * 0.4));
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(once.cells[17][9].upper[c], v[c] * k, 1e-5) << c;
    }

    for (float phase : {0.0f, 0.4f, 1.7f, 45.0f, 58.7f}) {
        deformSphere(0.5f, 0.3f, 0.2f, 0.7f, phase);
        const SphereVectorTable free = sphereWorking;
        deformSphereClamped(0.5f, 0.3f, 0.2f, 0.7f, phase);
        int clampedComponents = 0;
        for (int i = 0; i < sphereTableRows; ++i) {
            for (int j = 0; j < sphereTableColumns; ++j) {
                const float* in = &free.cells[i][j].upper[0];
                const float* out = &sphereWorking.cells[i][j].upper[0];
                for (int c = 0; c < 6; ++c) {
                    ASSERT_EQ(out[c], std::clamp(in[c], -1.0f, 1.0f)) << phase;
                    clampedComponents += out[c] != in[c];
                }
            }
        }
        EXPECT_GT(clampedComponents, 0) << "phase " << phase << " needed no clamping";
    }
    restoreSphere();
    EXPECT_TRUE(sameTable(sphereWorking, rest));
}

TEST_F(SphereRoutine, ProjectionResetMatchesTheStartUpProjection) {
    GLdouble startUp[16];
    glGetDoublev(GL_PROJECTION_MATRIX, startUp);
    glTranslatef(1, 2, 3);
    setProjection(25);
    setProjection(45);
    GLdouble now[16];
    glGetDoublev(GL_PROJECTION_MATRIX, now);
    EXPECT_EQ(std::memcmp(now, startUp, sizeof now), 0);
    GLdouble modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0 : 0.0) << i;
    }
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

}  // namespace
