#include "base/render_config.h"

RenderConfig renderConfig;

FrameArea frameArea(const RenderConfig& config) {
    FrameArea area{0, 0, config.width, config.height};
    if (!config.keepFourByThree) {
        return area;
    }
    if (config.width * 3 > config.height * 4) {
        area.width = config.height * 4 / 3;
        area.x = (config.width - area.width) / 2;
    } else {
        area.height = config.width * 3 / 4;
        area.y = (config.height - area.height) / 2;
    }
    return area;
}
