#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/options.h"
#include "shell/video_output.h"

// Where the frames of an offline capture go: a directory of PNG pictures or an
// ffmpeg process that encodes a video. Errors come back as text for the caller
// to show.
class FrameWriter {
public:
    virtual ~FrameWriter() = default;
    virtual bool open(std::string& error) = 0;
    // rgb holds the frame bottom row first, as read back from GL.
    virtual bool write(SceneTime time, const std::vector<uint8_t>& rgb, std::string& error) = 0;
    virtual bool finish(std::string& error) = 0;
};

// A video for OUT ending in .mp4, .mkv or .webm, else a PNG directory.
// musicPath is muxed as the soundtrack of a video when the file exists.
std::unique_ptr<FrameWriter> makeFrameWriter(const CaptureOptions& options,
                                             const std::string& musicPath);

// The two kinds, each in a file of its own: a platform links its own video
// writer beside the common PNG one.
std::unique_ptr<FrameWriter> makePngDirectoryWriter(const CaptureOptions& options);
std::unique_ptr<FrameWriter> makeVideoWriter(const CaptureOptions& options,
                                             const std::string& musicPath);

// The PNG name of a frame: its time zero-padded to six digits.
std::string frameFileName(SceneTime time);
