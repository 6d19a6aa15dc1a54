#include "shell/frame_writer.h"

#include <cstdio>

std::string frameFileName(SceneTime time) {
    char name[32];
    std::snprintf(name, sizeof name, "%06u.png", time);
    return name;
}

std::unique_ptr<FrameWriter> makeFrameWriter(const CaptureOptions& options,
                                             const std::string& musicPath) {
    if (isVideoOutput(options.output)) {
        return makeVideoWriter(options, musicPath);
    }
    return makePngDirectoryWriter(options);
}
