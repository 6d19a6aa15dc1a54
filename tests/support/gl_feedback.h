#pragma once

#include <array>
#include <functional>
#include <vector>

// The polygons a draw produces under the current matrices, read back through
// GL's feedback mode instead of drawn: each polygon's corners in window
// coordinates (x, y in pixels, z in 0..1). A token other than a polygon, or a
// buffer too small, fails the calling test.
using FeedbackPolygon = std::vector<std::array<float, 3>>;
std::vector<FeedbackPolygon> feedbackPolygons(const std::function<void()>& draw);
