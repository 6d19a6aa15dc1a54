#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// The extension entry points the effects rely on, fetched once after the
// context is current. They live in a namespace of their own because the system
// GL header already declares functions of the same names.
namespace glext {

extern PFNGLUNLOCKARRAYSEXTPROC glUnlockArraysEXT;
extern PFNGLLOCKARRAYSEXTPROC glLockArraysEXT;
extern PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB;
extern PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
extern PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB;
extern PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB;
extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
extern PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB;
extern PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB;

}  // namespace glext

struct ExtensionSupport {
    bool multitexture = false;
    bool compiledVertexArrays = false;
};

// Fetches all nine entry points. The proc-address call answers non-null even
// for names the driver lacks, so a group only counts as present when its
// extension is also in the driver's extension string.
ExtensionSupport fetchExtensionEntryPoints();
