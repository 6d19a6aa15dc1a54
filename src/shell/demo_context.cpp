#include "shell/demo_context.h"

#include "gfx/gl_state.h"
#include "platform/frame_memory.h"
#include "platform/gl_extensions.h"
#include "platform/headless.h"
#include "platform/message.h"
#include "platform/window.h"

std::string openDemoContext(const RenderConfig& config, DemoDisplay display) {
    keepFrameMemoryInHeap();
    if (display == DemoDisplay::Headless) {
        useHeadlessDrivers();
        suppressDialogs();
    }
    if (!createDemoWindow(config)) {
        return "Error opening OpenGL";
    }
    ExtensionSupport extensions = fetchExtensionEntryPoints();
    const char* missing = nullptr;
    if (!extensions.multitexture) {
        missing = "Your OpenGL does not support multitexturing";
    } else if (!extensions.compiledVertexArrays) {
        missing = "Your OpenGL does not support lockarray";
    }
    if (missing != nullptr) {
        destroyDemoWindow();
        return missing;
    }
    setInitialGlState(config);
    return {};
}
