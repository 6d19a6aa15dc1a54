#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/sphere.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"

namespace {

struct Point {
    double x, y, z;
};

double distance(const Point& p, const Point& q) {
    return std::hypot(p.x - q.x, p.y - q.y, p.z - q.z);
}

bool sameTable(const SphereVectorTable& a, const SphereVectorTable& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const Point centre = {10, -20, 5};

class SphereRoutine : public HeadlessGlTest {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        resetGlState();
        forgetTable();
    }
    void TearDown() override { forgetTable(); }
    static void forgetTable() { forgetSphereTable(); }

    // The triangle corners of drawSphere around `centre`, read back through GL
    // feedback under an orthographic box of +-100 (so nothing is clipped).
    static std::vector<Point> drawnCorners(double radius, int slices) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-100, 100, -100, 100, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        const std::vector<FeedbackPolygon> polygons =
            feedbackPolygons([&] { drawSphere(10, -20, 5, radius, slices, 1, 1); });
        resetGlState();
        std::vector<Point> corners;
        for (const FeedbackPolygon& polygon : polygons) {
            for (const auto& v : polygon) {
                corners.push_back({v[0] / 3.2 - 100, v[1] / 2.4 - 100, (1 - 2 * v[2]) * 100});
            }
        }
        return corners;
    }
};

TEST_F(SphereRoutine, FirstSphereIsTrueAfterADeformationAndLaterOnesDrawTheTableAsStored) {
    deformSphereClamped(0.5f, 0.3f, 0.2f, 0.7f, 1.0f);
    const std::vector<Point> first = drawnCorners(40, 50);
    ASSERT_EQ(first.size(), 25u * 50 * 2 * 3);  // 25 strips of 50 quads
    for (const Point& p : first) {
        ASSERT_NEAR(distance(p, centre), 40, 0.02);
    }
    ASSERT_TRUE(sphereTableReady());
    EXPECT_TRUE(sameTable(sphereWorkingTable(), sphereRestTable()));
    // Row 0 starts at the bottom pole with the lower vector second; the upper
    // vector of row 13 lies at latitude 14 * 2pi/50 - pi/2.
    EXPECT_FLOAT_EQ(sphereRestTable().cells[0][0].lower[1], -1.0f);
    EXPECT_NEAR(sphereRestTable().cells[13][5].upper[1], std::sin(14 * 2 * M_PI / 50 - M_PI / 2),
                1e-6);

    deformSphere(0.5f, 0.3f, 0.2f, 0.2f, 2.0f);
    const std::vector<Point> later = drawnCorners(40, 50);
    ASSERT_EQ(later.size(), first.size());
    double farthestFromTable = 0;
    double swing = 0;
    for (const Point& p : later) {
        double nearest = 1e9;
        for (const auto& row : sphereWorkingTable().cells) {
            for (const SphereCell& cell : row) {
                for (const float* v : {cell.upper, cell.lower}) {
                    nearest = std::min(nearest, distance(p, {10 + 40.0 * v[0], -20 + 40.0 * v[1],
                                                             5 + 40.0 * v[2]}));
                }
            }
        }
        farthestFromTable = std::max(farthestFromTable, nearest);
        swing = std::max(swing, std::abs(distance(p, centre) - 40));
    }
    EXPECT_LT(farthestFromTable, 0.02);
    EXPECT_GT(swing, 4.0) << "the deformation did not reach the drawing";
}

TEST_F(SphereRoutine, NegativeArgumentsCountAsPositiveAndOthersLeaveTheTableAlone) {
    for (const auto& [radius, slices] : {std::pair{5.0, 3}, {0.0, 50}, {5.0, -3}, {5.0, INT_MIN}}) {
        EXPECT_TRUE(drawnCorners(radius, slices).empty()) << radius << " " << slices;
    }
    // The table holds 50 slices only: another count draws a true sphere of
    // its own and must not write past the table or build it.
    const std::vector<Point> finer = drawnCorners(30, 64);
    EXPECT_EQ(finer.size(), 32u * 64 * 2 * 3);
    for (const Point& p : finer) {
        ASSERT_NEAR(distance(p, centre), 30, 0.02);
    }
    EXPECT_FALSE(sphereTableReady());

    const std::vector<Point> reference = drawnCorners(5, 50);
    for (const auto& [radius, slices] : {std::pair{-5.0, 50}, {5.0, -50}, {-5.0, -50}}) {
        const std::vector<Point> same = drawnCorners(radius, slices);
        ASSERT_EQ(same.size(), reference.size());
        EXPECT_EQ(std::memcmp(same.data(), reference.data(), same.size() * sizeof(Point)), 0)
            << radius << " " << slices;
    }
}

TEST_F(SphereRoutine, DeformationsStartFromRestAndTheClampedOneStaysInTheUnitCube) {
    drawnCorners(5, 50);
    const SphereVectorTable rest = sphereRestTable();
    deformSphere(0.5f, 0.3f, 0.2f, 0.7f, 0.4f);
    const SphereVectorTable once = sphereWorkingTable();
    deformSphere(0.5f, 0.3f, 0.2f, 0.7f, 3.0f);
    deformSphere(0.5f, 0.3f, 0.2f, 0.7f, 0.4f);
    EXPECT_TRUE(sameTable(sphereWorkingTable(), once)) << "deformations accumulate";
    EXPECT_TRUE(sameTable(sphereRestTable(), rest));

    const float* v = rest.cells[17][9].upper;
    const double k = 1 + 0.7 * (std::sin(v[0] / 0.5 + 2.2 * 0.4) + std::sin(v[1] / 0.3 + 5 * 0.4) +
                                std::sin(v[2] / 0.2 + 4.9 * 0.4));
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(once.cells[17][9].upper[c], v[c] * k, 1e-5) << c;
    }

    for (float phase : {0.0f, 1.7f, 58.7f}) {
        deformSphere(0.5f, 0.3f, 0.2f, 0.7f, phase);
        const SphereVectorTable free = sphereWorkingTable();
        deformSphereClamped(0.5f, 0.3f, 0.2f, 0.7f, phase);
        const float* in = &free.cells[0][0].upper[0];
        const float* out = &sphereWorkingTable().cells[0][0].upper[0];
        int clamped = 0;
        for (size_t c = 0; c < sizeof free / sizeof(float); ++c) {
            ASSERT_EQ(out[c], std::clamp(in[c], -1.0f, 1.0f)) << phase;
            clamped += out[c] != in[c];
        }
        EXPECT_GT(clamped, 0) << "phase " << phase << " needed no clamping";
    }
    restoreSphere();
    EXPECT_TRUE(sameTable(sphereWorkingTable(), rest));
}

}  // namespace
