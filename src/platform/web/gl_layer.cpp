#include "platform/web/gl_layer.h"

#include <cmath>
#include <optional>
#include <variant>
#include <vector>

namespace {

constexpr int unitCount = 2;

struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    float s, t;
};

// One glBegin/glEnd run as arrays, in a mode WebGL draws directly.
struct Batch {
    GLenum mode = GL_TRIANGLES;
    bool normals = false;
    bool texCoords = false;
    std::vector<Vertex> vertices;
};

// A display list holds texture binds and batches, in call order.
struct Bind {
    GLuint texture = 0;
};
using Command = std::variant<Bind, Batch>;

struct Recording {
    GLuint list = 0;
    GLenum mode = GL_COMPILE;
    std::vector<Command> commands;
};

struct UnitState {
    bool sphereS = false;  // the generation mode is GL_SPHERE_MAP
    bool sphereT = false;
    bool generateS = false;  // GL_TEXTURE_GEN_S/T are enabled
    bool generateT = false;
    float s = 0.0f, t = 0.0f;  // the current coordinates
};

struct LayerState {
    GLenum beginMode = 0;
    bool inBegin = false;
    Batch pending;
    float normal[3] = {0.0f, 0.0f, 1.0f};
    bool normalGiven = false;
    bool texCoordGiven = false;
    UnitState units[unitCount];
    int activeUnit = 0;
    std::vector<std::vector<Command>> lists;  // list n is lists[n - 1]
    bool recording = false;
    Recording record;
    std::vector<float> generated;  // scratch for sphere-map coordinates
};

LayerState& state() {
    static LayerState layer;
    return layer;
}

int unitIndex(GLenum unit) {
    const int index = static_cast<int>(unit) - GL_TEXTURE0;
    return index >= 0 && index < unitCount ? index : -1;
}

bool sphereMapped(const UnitState& unit) {
    return unit.sphereS && unit.sphereT && unit.generateS && unit.generateT;
}

// WebGL has no quads: each becomes two triangles split along its first
// diagonal, and a strip of quads is the triangle strip of the same vertices,
// whose triangles share the quads' diagonals.
Batch toDrawable(GLenum mode, Batch gathered) {
    switch (mode) {
        case GL_QUADS: {
            std::vector<Vertex> triangles;
            const size_t quads = gathered.vertices.size() / 4;
            triangles.reserve(quads * 6);
            for (size_t q = 0; q < quads; ++q) {
                const Vertex* v = &gathered.vertices[q * 4];
                for (int corner : {0, 1, 2, 0, 2, 3}) {
                    triangles.push_back(v[corner]);
                }
            }
            gathered.vertices = std::move(triangles);
            gathered.mode = GL_TRIANGLES;
            break;
        }
        case GL_QUAD_STRIP:
            gathered.vertices.resize(gathered.vertices.size() & ~size_t{1});
            gathered.mode = GL_TRIANGLE_STRIP;
            break;
        case GL_POLYGON:
            gathered.mode = GL_TRIANGLE_FAN;
            break;
        default:
            gathered.mode = mode;
            break;
    }
    return gathered;
}

// Sphere-map coordinates as the fixed-function pipeline makes them with
// GL_NORMALIZE off: the normal goes through the inverse transpose of the
// modelview without being made unit length, and the reflection of the unit
// eye vector about it gives s, t = r.xy / (2 |r + (0, 0, 1)|) + 1/2.
void generateSphereMap(const Batch& batch, std::vector<float>& out) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // The upper 3x3 (column-major) and its inverse transpose, which is its
    // cofactor matrix divided by the determinant.
    const double a = m[0], b = m[4], c = m[8];
    const double d = m[1], e = m[5], f = m[9];
    const double g = m[2], h = m[6], i = m[10];
    const double cofactor[3][3] = {{e * i - f * h, f * g - d * i, d * h - e * g},
                                   {c * h - b * i, a * i - c * g, b * g - a * h},
                                   {b * f - c * e, c * d - a * f, a * e - b * d}};
    const double determinant = a * cofactor[0][0] + b * cofactor[0][1] + c * cofactor[0][2];
    const double scale = determinant != 0.0 ? 1.0 / determinant : 0.0;

    out.resize(batch.vertices.size() * 2);
    for (size_t k = 0; k < batch.vertices.size(); ++k) {
        const Vertex& v = batch.vertices[k];
        double eye[3];
        double n[3];
        for (int r = 0; r < 3; ++r) {
            eye[r] = m[r] * v.x + m[4 + r] * v.y + m[8 + r] * v.z + m[12 + r];
            n[r] = scale * (cofactor[r][0] * v.nx + cofactor[r][1] * v.ny + cofactor[r][2] * v.nz);
        }
        const double length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
        if (length > 0.0) {
            for (double& component : eye) {
                component /= length;
            }
        }
        const double twiceDot = 2.0 * (n[0] * eye[0] + n[1] * eye[1] + n[2] * eye[2]);
        const double rx = eye[0] - twiceDot * n[0];
        const double ry = eye[1] - twiceDot * n[1];
        const double rz = eye[2] - twiceDot * n[2] + 1.0;
        const double reach = std::sqrt(rx * rx + ry * ry + rz * rz);
        const double half = reach > 0.0 ? 0.5 / reach : 0.0;
        out[k * 2] = static_cast<float>(rx * half + 0.5);
        out[k * 2 + 1] = static_cast<float>(ry * half + 0.5);
    }
}

void drawBatch(const Batch& batch) {
    if (batch.vertices.empty()) {
        return;
    }
    LayerState& layer = state();
    const GLsizei stride = sizeof(Vertex);
    const Vertex* first = batch.vertices.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, &first->x);
    if (batch.normals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, &first->nx);
    }
    bool unitArrays[unitCount] = {};
    for (int u = 0; u < unitCount; ++u) {
        const bool generated = sphereMapped(layer.units[u]);
        if (!generated && !(u == 0 && batch.texCoords)) {
            continue;
        }
        glClientActiveTexture(GL_TEXTURE0 + u);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        if (generated) {
            generateSphereMap(batch, layer.generated);
            glTexCoordPointer(2, GL_FLOAT, 0, layer.generated.data());
        } else {
            glTexCoordPointer(2, GL_FLOAT, stride, &first->s);
        }
        unitArrays[u] = true;
    }
    glDrawArrays(batch.mode, 0, static_cast<GLsizei>(batch.vertices.size()));
    for (int u = unitCount - 1; u >= 0; --u) {
        if (unitArrays[u]) {
            glClientActiveTexture(GL_TEXTURE0 + u);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    glClientActiveTexture(GL_TEXTURE0);
    if (batch.normals) {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}

bool mergeable(const Batch& a, const Batch& b) {
    return a.mode == GL_TRIANGLES && b.mode == GL_TRIANGLES && a.normals == b.normals &&
           a.texCoords == b.texCoords;
}

// A list replays with as few draws as give the same picture: a bind that the
// next bind replaces before any draw goes, as does a bind of the texture the
// list itself bound last, and the triangles of draws that then follow one
// another become one draw. Each draw costs the browser's emulation far more
// than its vertices (the tunnel's cubes are 20 boxes of one texture).
//
// A bind is held back until the next draw (or the end of the list), so that
// only the last of several binds in a row is ever written out.
std::vector<Command> compacted(std::vector<Command> commands) {
    std::vector<Command> out;
    std::optional<GLuint> bound;    // the texture the list has bound so far
    std::optional<GLuint> pending;  // a bind not yet followed by a draw
    auto writePending = [&] {
        if (pending && pending != bound) {
            out.emplace_back(Bind{*pending});
            bound = pending;
        }
        pending.reset();
    };
    for (Command& command : commands) {
        if (const Bind* bind = std::get_if<Bind>(&command)) {
            pending = bind->texture;
            continue;
        }
        writePending();
        Batch& batch = std::get<Batch>(command);
        Batch* last = out.empty() ? nullptr : std::get_if<Batch>(&out.back());
        if (last != nullptr && mergeable(*last, batch)) {
            last->vertices.insert(last->vertices.end(), batch.vertices.begin(),
                                  batch.vertices.end());
        } else {
            out.emplace_back(std::move(batch));
        }
    }
    writePending();
    return out;
}

void runCommands(const std::vector<Command>& commands) {
    for (const Command& command : commands) {
        if (const Bind* bind = std::get_if<Bind>(&command)) {
            glBindTexture(GL_TEXTURE_2D, bind->texture);
        } else {
            drawBatch(std::get<Batch>(command));
        }
    }
}

}  // namespace

void velmorraBegin(GLenum mode) {
    LayerState& layer = state();
    layer.inBegin = true;
    layer.beginMode = mode;
    layer.pending = Batch{};
    layer.normalGiven = false;
    layer.texCoordGiven = false;
}

void velmorraEnd() {
    LayerState& layer = state();
    if (!layer.inBegin) {
        return;
    }
    layer.inBegin = false;
    layer.pending.normals = layer.normalGiven;
    layer.pending.texCoords = layer.texCoordGiven;
    Batch batch = toDrawable(layer.beginMode, std::move(layer.pending));
    layer.pending = Batch{};
    if (layer.recording) {
        layer.record.commands.emplace_back(batch);
        if (layer.record.mode != GL_COMPILE_AND_EXECUTE) {
            return;
        }
    }
    drawBatch(batch);
}

void velmorraVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    LayerState& layer = state();
    if (!layer.inBegin) {
        return;
    }
    const UnitState& unit0 = layer.units[0];
    layer.pending.vertices.push_back(
        {x, y, z, layer.normal[0], layer.normal[1], layer.normal[2], unit0.s, unit0.t});
}

void velmorraNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    LayerState& layer = state();
    layer.normal[0] = x;
    layer.normal[1] = y;
    layer.normal[2] = z;
    layer.normalGiven = layer.normalGiven || layer.inBegin;
}

void velmorraTexCoord2f(GLfloat s, GLfloat t) {
    velmorraMultiTexCoord2f(GL_TEXTURE0, s, t);
}

void velmorraMultiTexCoord2f(GLenum unit, GLfloat s, GLfloat t) {
    LayerState& layer = state();
    const int index = unitIndex(unit);
    if (index < 0) {
        return;
    }
    layer.units[index].s = s;
    layer.units[index].t = t;
    // Only unit 0 carries coordinates per vertex; unit 1 takes generated ones.
    if (index == 0) {
        layer.texCoordGiven = layer.texCoordGiven || layer.inBegin;
    }
}

void velmorraMultiTexCoord1f(GLenum unit, GLfloat s) {
    velmorraMultiTexCoord2f(unit, s, 0.0f);
}

void velmorraMultiTexCoord3f(GLenum unit, GLfloat s, GLfloat t, GLfloat) {
    velmorraMultiTexCoord2f(unit, s, t);
}

void velmorraMultiTexCoord4f(GLenum unit, GLfloat s, GLfloat t, GLfloat, GLfloat) {
    velmorraMultiTexCoord2f(unit, s, t);
}

void velmorraMultiTexCoord2fv(GLenum unit, const GLfloat* st) {
    velmorraMultiTexCoord2f(unit, st[0], st[1]);
}

GLuint velmorraGenLists(GLsizei range) {
    if (range <= 0) {
        return 0;
    }
    LayerState& layer = state();
    const GLuint first = static_cast<GLuint>(layer.lists.size()) + 1;
    layer.lists.resize(layer.lists.size() + static_cast<size_t>(range));
    return first;
}

void velmorraNewList(GLuint list, GLenum mode) {
    LayerState& layer = state();
    if (layer.recording || list == 0) {
        return;
    }
    layer.recording = true;
    layer.record = Recording{list, mode, {}};
}

void velmorraEndList() {
    LayerState& layer = state();
    if (!layer.recording) {
        return;
    }
    layer.recording = false;
    if (layer.record.list > layer.lists.size()) {
        layer.lists.resize(layer.record.list);
    }
    layer.lists[layer.record.list - 1] = compacted(std::move(layer.record.commands));
    layer.record = Recording{};
}

void velmorraCallList(GLuint list) {
    LayerState& layer = state();
    if (list == 0 || list > layer.lists.size()) {
        return;
    }
    // A call while recording nests the list's commands into the new one.
    if (layer.recording) {
        const std::vector<Command> nested = layer.lists[list - 1];
        layer.record.commands.insert(layer.record.commands.end(), nested.begin(), nested.end());
        if (layer.record.mode != GL_COMPILE_AND_EXECUTE) {
            return;
        }
    }
    runCommands(layer.lists[list - 1]);
}

void velmorraDeleteLists(GLuint list, GLsizei range) {
    LayerState& layer = state();
    for (GLsizei k = 0; k < range; ++k) {
        const GLuint name = list + static_cast<GLuint>(k);
        if (name >= 1 && name <= layer.lists.size()) {
            layer.lists[name - 1].clear();
        }
    }
}

GLboolean velmorraIsList(GLuint list) {
    return list >= 1 && list <= state().lists.size() ? GL_TRUE : GL_FALSE;
}

void velmorraBindTexture(GLenum target, GLuint texture) {
    LayerState& layer = state();
    if (layer.recording && target == GL_TEXTURE_2D) {
        layer.record.commands.emplace_back(Bind{texture});
        if (layer.record.mode != GL_COMPILE_AND_EXECUTE) {
            return;
        }
    }
    glBindTexture(target, texture);
}

void velmorraTexGeni(GLenum coord, GLenum pname, GLint param) {
    if (pname != GL_TEXTURE_GEN_MODE) {
        return;
    }
    UnitState& unit = state().units[state().activeUnit];
    const bool sphere = param == GL_SPHERE_MAP;
    if (coord == GL_S) {
        unit.sphereS = sphere;
    } else if (coord == GL_T) {
        unit.sphereT = sphere;
    }
}

namespace {

// Texture generation is the layer's own state; the emulation never sees it.
bool setGeneration(GLenum cap, bool on) {
    UnitState& unit = state().units[state().activeUnit];
    switch (cap) {
        case GL_TEXTURE_GEN_S:
            unit.generateS = on;
            return true;
        case GL_TEXTURE_GEN_T:
            unit.generateT = on;
            return true;
        case GL_TEXTURE_GEN_R:
        case GL_TEXTURE_GEN_Q:
            return true;
        default:
            return false;
    }
}

}  // namespace

void velmorraEnable(GLenum cap) {
    if (!setGeneration(cap, true)) {
        glEnable(cap);
    }
}

void velmorraDisable(GLenum cap) {
    if (!setGeneration(cap, false)) {
        glDisable(cap);
    }
}

void velmorraActiveTexture(GLenum unit) {
    const int index = unitIndex(unit);
    if (index >= 0) {
        state().activeUnit = index;
    }
    glActiveTexture(unit);
}

void velmorraLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
                    GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    // In single precision, as GLU computes it.
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    const float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    auto normalise = [](float v[3]) {
        const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length != 0.0f) {
            v[0] /= length;
            v[1] /= length;
            v[2] /= length;
        }
    };
    auto cross = [](const float a[3], const float b[3], float out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    normalise(forward);
    float side[3];
    cross(forward, up, side);
    normalise(side);
    float trueUp[3];
    cross(side, forward, trueUp);
    const GLfloat m[16] = {side[0],     trueUp[0], -forward[0], 0.0f,      side[1],     trueUp[1],
                           -forward[1], 0.0f,      side[2],     trueUp[2], -forward[2], 0.0f,
                           0.0f,        0.0f,      0.0f,        1.0f};
    glMultMatrixf(m);
    glTranslatef(static_cast<float>(-eyeX), static_cast<float>(-eyeY), static_cast<float>(-eyeZ));
}

void velmorraLockArrays(GLint, GLsizei) {}

void velmorraUnlockArrays() {}

void velmorraTexEnvf(GLenum target, GLenum pname, GLfloat param) {
    glTexEnvi(target, pname, static_cast<GLint>(param));
}

void velmorraHint(GLenum target, GLenum mode) {
    if (target == GL_GENERATE_MIPMAP_HINT) {
        glHint(target, mode);
    }
}
