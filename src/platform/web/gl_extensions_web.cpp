#include <GL/gl.h>

#include "platform/gl_extensions.h"
#include "platform/web/gl_layer.h"

namespace {

void clientActiveTexture(GLenum unit) {
    glClientActiveTexture(unit);
}

}  // namespace

// WebGL has multitexturing in the core and no compiled vertex arrays: the
// layer gives both groups, and locking an array does nothing there.
ExtensionSupport fetchExtensionEntryPoints() {
    glext::glUnlockArraysEXT = velmorraUnlockArrays;
    glext::glLockArraysEXT = velmorraLockArrays;
    glext::glMultiTexCoord1fARB = velmorraMultiTexCoord1f;
    glext::glMultiTexCoord2fARB = velmorraMultiTexCoord2f;
    glext::glMultiTexCoord3fARB = velmorraMultiTexCoord3f;
    glext::glMultiTexCoord4fARB = velmorraMultiTexCoord4f;
    glext::glActiveTextureARB = velmorraActiveTexture;
    glext::glClientActiveTextureARB = clientActiveTexture;
    glext::glMultiTexCoord2fvARB = velmorraMultiTexCoord2fv;
    return {true, true};
}
