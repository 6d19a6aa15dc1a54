#pragma once

#include <cstddef>

#include "shell/scene_time.h"

// The two kinds of table the scenes time their cuts with.

// A value that changes once t passes start. Rows rise; the last row whose
// start t exceeds gives the value, and before the first the held value stays.
template <typename Value>
struct Change {
    SceneTime start;
    Value value;
};

template <typename Value, size_t N>
constexpr Value heldValueAt(const Change<Value> (&changes)[N], SceneTime t, Value held) {
    for (const Change<Value>& change : changes) {
        if (t > change.start) {
            held = change.value;
        }
    }
    return held;
}

// An open window lower < t < upper and what it selects; an upper bound of
// `never` leaves it open to the end.
template <typename Value>
struct Window {
    SceneTime lower;
    SceneTime upper;
    Value value;
};

inline constexpr SceneTime never = 0xFFFFFFFFu;

// The first window that holds t, or null.
template <typename Value, size_t N>
constexpr const Window<Value>* windowHolding(const Window<Value> (&windows)[N], SceneTime t) {
    for (const Window<Value>& window : windows) {
        if (window.lower < t && (window.upper == never || t < window.upper)) {
            return &window;
        }
    }
    return nullptr;
}
