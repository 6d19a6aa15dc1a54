#include "support/headless_demo.h"

#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "sequence/effect_builds.h"
#include "shell/demo_context.h"

bool openHeadlessDemo(const RenderConfig& size, const std::string& mediaDirectory) {
    renderConfig = size;
    if (!openDemoContext(renderConfig, DemoDisplay::Headless).empty()) {
        return false;
    }
    setProgramDirectory(mediaDirectory);
    return true;
}

void buildHeadlessDemo() {
    buildEffects();
    loadOverlayCatalogue();
}
