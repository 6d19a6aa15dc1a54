#pragma once

#include <cstddef>

#include "base/scene_time.h"

// The two kinds of table the scenes time their cuts with.

// A value that changes once t passes start. Rows rise; the last row whose
// start t exceeds gives the value, and before the first, the value `before`.
// Every scene's value before its first row is its start value, so the value
// at t needs nothing from earlier frames.
template <typename Value>
struct HeldChange {
    SceneTime start;
    Value value;
};

template <typename Value, size_t N>
constexpr Value heldValueAt(const HeldChange<Value> (&changes)[N], SceneTime t, Value before) {
    Value value = before;
    for (const HeldChange<Value>& change : changes) {
        if (t > change.start) {
            value = change.value;
        }
    }
    return value;
}

// An open window lower < t < upper and what it selects; an upper bound of
// `never` leaves it open to the end.
template <typename Value>
struct TimeWindow {
    SceneTime lower;
    SceneTime upper;
    Value value;
};

inline constexpr SceneTime openToTheEnd = 0xFFFFFFFFu;

// The first window that holds t, or null.
template <typename Value, size_t N>
constexpr const TimeWindow<Value>* windowHolding(const TimeWindow<Value> (&windows)[N],
                                                 SceneTime t) {
    for (const TimeWindow<Value>& window : windows) {
        if (window.lower < t && (window.upper == openToTheEnd || t < window.upper)) {
            return &window;
        }
    }
    return nullptr;
}
