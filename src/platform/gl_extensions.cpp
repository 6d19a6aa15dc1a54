#include "platform/gl_extensions.h"

#include <SDL.h>

namespace {

template <typename Function>
void fetch(Function& pointer, const char* name) {
    pointer = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
}

}  // namespace

ExtensionSupport fetchExtensionEntryPoints() {
    fetch(glext::glUnlockArraysEXT, "glUnlockArraysEXT");
    fetch(glext::glLockArraysEXT, "glLockArraysEXT");
    fetch(glext::glMultiTexCoord1fARB, "glMultiTexCoord1fARB");
    fetch(glext::glMultiTexCoord2fARB, "glMultiTexCoord2fARB");
    fetch(glext::glMultiTexCoord3fARB, "glMultiTexCoord3fARB");
    fetch(glext::glMultiTexCoord4fARB, "glMultiTexCoord4fARB");
    fetch(glext::glActiveTextureARB, "glActiveTextureARB");
    fetch(glext::glClientActiveTextureARB, "glClientActiveTextureARB");
    fetch(glext::glMultiTexCoord2fvARB, "glMultiTexCoord2fvARB");

    ExtensionSupport support;
    support.multitexture =
        SDL_GL_ExtensionSupported("GL_ARB_multitexture") &&
        glext::glMultiTexCoord1fARB != nullptr && glext::glMultiTexCoord2fARB != nullptr &&
        glext::glMultiTexCoord3fARB != nullptr && glext::glMultiTexCoord4fARB != nullptr &&
        glext::glActiveTextureARB != nullptr && glext::glClientActiveTextureARB != nullptr;
    support.compiledVertexArrays = SDL_GL_ExtensionSupported("GL_EXT_compiled_vertex_array") &&
                                   glext::glUnlockArraysEXT != nullptr &&
                                   glext::glLockArraysEXT != nullptr;
    return support;
}
