#ifndef GR_GLFUNCTIONS_H
#define GR_GLFUNCTIONS_H

#include <GLES/gl.h>
#include <GLES/glext.h>

// Every OpenGL ES 1.1 entry point the device calls. Core ones take their type from the
// library's own prototype; OES ones (not exported by the library) from the extension typedefs.
#define GR_GL_CORE_FUNCTIONS(X) \
	X(glActiveTexture) X(glBindBuffer) X(glBindTexture) X(glBlendFunc) X(glBufferData) \
	X(glClear) X(glClearColor) X(glClientActiveTexture) X(glColor4f) X(glColorPointer) \
	X(glCompressedTexImage2D) X(glDeleteBuffers) X(glDeleteTextures) X(glDepthFunc) X(glDepthMask) \
	X(glDisable) X(glDisableClientState) X(glDrawArrays) X(glDrawElements) X(glEnable) \
	X(glEnableClientState) X(glFinish) X(glFrontFace) X(glGenBuffers) X(glGenTextures) \
	X(glGetIntegerv) X(glGetString) X(glLightfv) X(glLineWidth) X(glLoadMatrixf) \
	X(glMaterialfv) X(glMatrixMode) X(glNormalPointer) X(glPixelStorei) X(glReadPixels) \
	X(glScissor) X(glTexCoordPointer) X(glTexEnvi) X(glTexImage2D) X(glTexParameteri) \
	X(glTexSubImage2D) X(glVertexPointer) X(glViewport)

#define GR_GL_OES_FUNCTIONS(X) \
	X(glBindFramebufferOES, PFNGLBINDFRAMEBUFFEROESPROC) \
	X(glBindRenderbufferOES, PFNGLBINDRENDERBUFFEROESPROC) \
	X(glCheckFramebufferStatusOES, PFNGLCHECKFRAMEBUFFERSTATUSOESPROC) \
	X(glDeleteFramebuffersOES, PFNGLDELETEFRAMEBUFFERSOESPROC) \
	X(glDeleteRenderbuffersOES, PFNGLDELETERENDERBUFFERSOESPROC) \
	X(glFramebufferRenderbufferOES, PFNGLFRAMEBUFFERRENDERBUFFEROESPROC) \
	X(glFramebufferTexture2DOES, PFNGLFRAMEBUFFERTEXTURE2DOESPROC) \
	X(glGenFramebuffersOES, PFNGLGENFRAMEBUFFERSOESPROC) \
	X(glGenRenderbuffersOES, PFNGLGENRENDERBUFFERSOESPROC) \
	X(glRenderbufferStorageOES, PFNGLRENDERBUFFERSTORAGEOESPROC)

namespace gr
{

/**
 * The table of GL entry points the device calls through, so that a recording stand-in can take
 * the real library's place. A plain value; the installed table is process-wide and belongs to
 * the thread that owns the GL context.
 */
struct GLFunctions
{
	/** Looks up an entry point by name; null when unknown. */
	typedef void (*Proc)();
	typedef Proc (*ProcLoader)(const char* name);

#define GR_GL_CORE_MEMBER(name) decltype(&::name) name;
#define GR_GL_OES_MEMBER(name, type) type name;
	GR_GL_CORE_FUNCTIONS(GR_GL_CORE_MEMBER)
	GR_GL_OES_FUNCTIONS(GR_GL_OES_MEMBER)
#undef GR_GL_CORE_MEMBER
#undef GR_GL_OES_MEMBER

	/**
	 * The real library: core entry points linked directly, OES ones through the loader
	 * (the EGL one when null). A missing OES entry point stays null.
	 */
	static GLFunctions system(ProcLoader loader = nullptr);

	/** Makes the table the one the device calls through (copied). */
	static void install(const GLFunctions& functions);

	/** The installed table; the real library (looked up on first use) until something else is installed. */
	static const GLFunctions& current()						{ return installed(); }

private:
	static GLFunctions& installed();
};

/** The installed GL table, shorthand for GLFunctions::current(). */
inline const GLFunctions& gl()							{ return GLFunctions::current(); }

} // gr

#endif
