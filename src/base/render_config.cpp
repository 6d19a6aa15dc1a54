#include "base/render_config.h"

RenderConfig renderConfig;
