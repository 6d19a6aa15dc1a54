#pragma once

// Included before every source of the browser build (-include): the GL names
// that WebGL's fixed-function emulation lacks or gets wrong are routed to
// gl_layer.cpp, which is compiled without this header. The effects' code
// stays as it is.

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/web/gl_layer.h"

#define glBegin velmorraBegin
#define glEnd velmorraEnd
#define glVertex3f velmorraVertex3f
#define glNormal3f velmorraNormal3f
#define glTexCoord2f velmorraTexCoord2f
#define glGenLists velmorraGenLists
#define glNewList velmorraNewList
#define glEndList velmorraEndList
#define glCallList velmorraCallList
#define glDeleteLists velmorraDeleteLists
#define glIsList velmorraIsList
#define glBindTexture velmorraBindTexture
#define glTexGeni velmorraTexGeni
#define glEnable velmorraEnable
#define glDisable velmorraDisable
#define gluLookAt velmorraLookAt
#define glTexEnvf velmorraTexEnvf
#define glHint velmorraHint
