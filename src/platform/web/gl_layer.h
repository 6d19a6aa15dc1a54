#pragma once

#include <GL/gl.h>

// The parts of OpenGL 1.1 that WebGL's fixed-function emulation lacks or gets
// wrong, built on what it does well (client arrays, the matrix stack):
// begin/end drawing gathered into arrays (quads as triangles, quad strips as
// triangle strips with the quads' diagonals), display lists recorded and
// replayed, sphere-map texture generation computed on the CPU, multitexture
// coordinates, gluLookAt and no-op compiled vertex array locks.
//
// The browser build maps the GL names onto these through gl_compat.h; the
// functions only call standard GL 1.3 entry points, so the native tests can
// compare them with the driver's own display lists and texture generation.

void velmorraBegin(GLenum mode);
void velmorraEnd();
void velmorraVertex3f(GLfloat x, GLfloat y, GLfloat z);
void velmorraNormal3f(GLfloat x, GLfloat y, GLfloat z);
void velmorraTexCoord2f(GLfloat s, GLfloat t);

GLuint velmorraGenLists(GLsizei range);
void velmorraNewList(GLuint list, GLenum mode);
void velmorraEndList();
void velmorraCallList(GLuint list);
void velmorraDeleteLists(GLuint list, GLsizei range);
GLboolean velmorraIsList(GLuint list);
void velmorraBindTexture(GLenum target, GLuint texture);

void velmorraTexGeni(GLenum coord, GLenum pname, GLint param);
void velmorraEnable(GLenum cap);
void velmorraDisable(GLenum cap);
void velmorraActiveTexture(GLenum unit);

void velmorraMultiTexCoord1f(GLenum unit, GLfloat s);
void velmorraMultiTexCoord2f(GLenum unit, GLfloat s, GLfloat t);
void velmorraMultiTexCoord3f(GLenum unit, GLfloat s, GLfloat t, GLfloat r);
void velmorraMultiTexCoord4f(GLenum unit, GLfloat s, GLfloat t, GLfloat r, GLfloat q);
void velmorraMultiTexCoord2fv(GLenum unit, const GLfloat* st);

void velmorraLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
                    GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ);

void velmorraLockArrays(GLint first, GLsizei count);
void velmorraUnlockArrays();

// The emulation reads the texture environment mode from glTexEnvi only.
void velmorraTexEnvf(GLenum target, GLenum pname, GLfloat param);

// WebGL takes only the mipmap hint and refuses every other target with an
// error (the fog hint among them); a hint never changes what is drawn, so the
// others are dropped here.
void velmorraHint(GLenum target, GLenum mode);
