#pragma once

#include <functional>
#include <vector>

#include "base/scene_time.h"

// The moments at which the whole picture changes at once, read from the same
// tables and timeline the demo plays, so that the soundtrack can put a hit on
// every one of them.

enum class CutKind {
    SceneChange,    // a timeline row starts or ends
    CameraCut,      // a scene's camera jumps
    PictureChange,  // a full-screen or cut-out picture is replaced, shown or removed
};

struct Cut {
    SceneTime ms;  // the first millisecond that shows the new picture
    CutKind kind;
};

// One thing that decides what a scene shows: a key that stays the same for as
// long as that part of the picture does.
struct CutTrack {
    CutKind kind;
    std::function<double(SceneTime)> key;
};

// Changes closer together than this, on one track, make one run: the picture
// flickers (the title picture alternates every millisecond, the credits pick a
// picture by t mod 4), and a hit per alternation would be a drum roll rather
// than a cut. A run is cut where it starts and, if it lasts, where it ends.
inline constexpr SceneTime flickerGapMs = 40;

// Cuts of several tracks closer than this make one cut at the first of them,
// of the kind that weighs most (scene change, then camera cut, then picture
// change): a scene ending at one millisecond and the next starting at the
// next is one cut.
inline constexpr SceneTime sameCutMs = 12;

// The cuts of one track over 0 < t <= until, the key sampled every
// millisecond in turn.
std::vector<Cut> trackCuts(const CutTrack& track, SceneTime until);

// Merges the cuts of several tracks into one list in time order.
std::vector<Cut> mergeCuts(std::vector<Cut> cuts);

// Every cut of the demo, in time order, up to demoEndTime (the demo ends at
// the first frame past it, so a later change is never seen): the timeline
// replayed one frame a millisecond, each row's scene asked for its shot while
// the row runs, its start and end a scene change, its cut keys a camera cut
// and a picture change.
std::vector<Cut> listCuts();
