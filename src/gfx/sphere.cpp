#include "gfx/sphere.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

SphereVectorTable sphereWorking = {};
SphereVectorTable sphereRest = {};
bool sphereTableBuilt = false;

}  // namespace

const SphereVectorTable& sphereWorkingTable() {
    return sphereWorking;
}

const SphereVectorTable& sphereRestTable() {
    return sphereRest;
}

bool sphereTableReady() {
    return sphereTableBuilt;
}

void forgetSphereTable() {
    sphereWorking = {};
    sphereRest = {};
    sphereTableBuilt = false;
}

namespace {

constexpr double pi = 3.14159265358979323846;

// The unit vector at latitude row boundary i and longitude column j of a
// sphere of the given slice count: latitude runs from -pi/2 at row 0 to +pi/2
// at row slices / 2, longitude once around over the columns.
void unitVector(int i, int j, int slices, float out[3]) {
    const double latitude = i * 2.0 * pi / slices - pi / 2.0;
    const double longitude = j * 2.0 * pi / slices;
    out[0] = static_cast<float>(std::cos(latitude) * std::cos(longitude));
    out[1] = static_cast<float>(std::sin(latitude));
    out[2] = static_cast<float>(std::cos(latitude) * std::sin(longitude));
}

struct SphereShape {
    float cx, cy, cz;
    double radius;
    int slices;
    float sScale, tScale;

    float s(int j) const { return static_cast<float>(j) * sScale / static_cast<float>(slices); }
    float t(int i) const { return static_cast<float>(2 * i) * tScale / static_cast<float>(slices); }

    // The vector goes to glNormal3f as it is, unnormalised after a deformation.
    void vertex(const float v[3], float s, float t) const {
        glNormal3f(v[0], v[1], v[2]);
        glTexCoord2f(s, t);
        glVertex3f(static_cast<float>(cx + radius * v[0]), static_cast<float>(cy + radius * v[1]),
                   static_cast<float>(cz + radius * v[2]));
    }
};

// One quad strip per row of latitude, the upper vertex of each column first.
// cellOf(i, j) gives the column's pair of vectors.
template <typename CellOf>
void drawRows(const SphereShape& shape, CellOf cellOf) {
    const int rows = shape.slices / 2;
    for (int i = 0; i < rows; ++i) {
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j <= shape.slices; ++j) {
            const SphereCell& cell = cellOf(i, j);
            shape.vertex(cell.upper, shape.s(j), shape.t(i + 1));
            shape.vertex(cell.lower, shape.s(j), shape.t(i));
        }
        glEnd();
    }
}

template <bool clamped>
void deform(float xScale, float yScale, float zScale, float amplitude, float phase) {
    auto scaled = [&](const float v[3], float out[3]) {
        const double k =
            1.0 + amplitude * (std::sin(static_cast<double>(v[0] / xScale + 2.2 * phase)) +
                               std::sin(static_cast<double>(v[1] / yScale + 5 * phase)) +
                               std::sin(static_cast<double>(v[2] / zScale + 4.9 * phase)));
        for (int c = 0; c < 3; ++c) {
            const float value = static_cast<float>(v[c] * k);
            out[c] = clamped ? std::clamp(value, -1.0f, 1.0f) : value;
        }
    };
    for (int i = 0; i < sphereTableRows; ++i) {
        for (int j = 0; j < sphereTableColumns; ++j) {
            const SphereCell& rest = sphereRest.cells[i][j];
            SphereCell& working = sphereWorking.cells[i][j];
            scaled(rest.upper, working.upper);
            scaled(rest.lower, working.lower);
        }
    }
}

}  // namespace

void drawSphere(float cx, float cy, float cz, double radius, int slices, float sScale,
                float tScale) {
    radius = std::fabs(radius);
    // The most negative int has no positive counterpart: it draws nothing.
    slices = slices < -INT_MAX ? 0 : std::abs(slices);
    if (slices < 4 || radius == 0.0) {
        return;
    }
    const SphereShape shape{cx, cy, cz, radius, slices, sScale, tScale};

    const bool fitsTable = slices == sphereTableSlices;
    if (fitsTable && sphereTableBuilt) {
        drawRows(shape,
                 [](int i, int j) -> const SphereCell& { return sphereWorking.cells[i][j]; });
        return;
    }
    // The true sphere, whatever a deformation wrote into the (still zero)
    // table before. The first one that fits the table fills both copies as it
    // goes; any other count is computed afresh every time and leaves the table
    // alone, which only has room for the 50-slice sphere.
    SphereCell computed;
    drawRows(shape, [&](int i, int j) -> const SphereCell& {
        SphereCell& cell = fitsTable ? sphereWorking.cells[i][j] : computed;
        unitVector(i + 1, j, slices, cell.upper);
        unitVector(i, j, slices, cell.lower);
        return cell;
    });
    if (fitsTable) {
        sphereRest = sphereWorking;
        sphereTableBuilt = true;
    }
}

void restoreSphere() {
    sphereWorking = sphereRest;
}

void deformSphere(float xScale, float yScale, float zScale, float amplitude, float phase) {
    deform<false>(xScale, yScale, zScale, amplitude, phase);
}

void deformSphereClamped(float xScale, float yScale, float zScale, float amplitude, float phase) {
    deform<true>(xScale, yScale, zScale, amplitude, phase);
}
