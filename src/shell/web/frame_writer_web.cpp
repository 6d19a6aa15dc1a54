// The browser build has no files to write frames to and no ffmpeg to run:
// a capture asked of it fails with a message instead of drawing unseen.
#include <string>

#include "shell/frame_writer.h"

namespace {

class UnavailableWriter : public FrameWriter {
public:
    bool open(std::string& error) override {
        error = "capture needs the native build of velmorra; the browser version only plays";
        return false;
    }
    bool write(SceneTime, const std::vector<uint8_t>&, std::string&) override { return false; }
    bool finish(std::string&) override { return true; }
};

}  // namespace

std::unique_ptr<FrameWriter> makeFrameWriter(const CaptureOptions&, const std::string&) {
    return std::make_unique<UnavailableWriter>();
}
