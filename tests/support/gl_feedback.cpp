#include "support/gl_feedback.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

std::vector<FeedbackPolygon> feedbackPolygons(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    std::vector<FeedbackPolygon> polygons;
    for (GLint k = 0; k < used;) {
        EXPECT_EQ(buffer[k++], GL_POLYGON_TOKEN);
        const auto count = static_cast<GLint>(buffer[k++]);
        FeedbackPolygon& polygon = polygons.emplace_back();
        for (GLint v = 0; v < count; ++v, k += 3) {
            polygon.push_back({buffer[k], buffer[k + 1], buffer[k + 2]});
        }
    }
    return polygons;
}
