#include "support/headless_demo.h"

#include <cstdlib>

#include "platform/frame_memory.h"
#include "platform/gl_extensions.h"
#include "platform/message.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "presentation/overlay_catalogue.h"
#include "shell/gl_state.h"
#include "shell/startup.h"

bool openHeadlessDemo(const RenderConfig& size, const std::string& mediaDirectory) {
    keepFrameMemoryInHeap();
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    suppressDialogs();
    renderConfig = size;
    if (!createDemoWindow()) {
        return false;
    }
    fetchExtensionEntryPoints();
    setInitialGlState(renderConfig);
    setProgramDirectory(mediaDirectory);
    return true;
}

void buildHeadlessDemo() {
    buildEffects();
    loadOverlayCatalogue();
}
