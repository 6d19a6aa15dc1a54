#pragma once

// The part of a scene's shot that cuts when it changes: where the camera is
// (a jump is a camera cut) and which pictures lie on top (a change replaces
// them at once). Each is a number that stays the same for as long as that part
// of the picture does; what moves smoothly from frame to frame (a sliding
// look-at point, a widening view, a sheet slowing down) is left out.
struct CutKeys {
    double camera = 0.0;
    double pictures = 0.0;
};

// The key of a camera or picture the shot does not show.
inline constexpr double noCutKey = -1.0;
