#include "platform/gl_extensions.h"

// The extension entry points, null until fetchExtensionEntryPoints fills them:
// from the driver in the native build, from the GL layer in the browser.
namespace glext {

PFNGLUNLOCKARRAYSEXTPROC glUnlockArraysEXT = nullptr;
PFNGLLOCKARRAYSEXTPROC glLockArraysEXT = nullptr;
PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB = nullptr;
PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB = nullptr;
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB = nullptr;

}  // namespace glext
