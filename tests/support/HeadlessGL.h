#ifndef TESTS_SUPPORT_HEADLESSGL_H
#define TESTS_SUPPORT_HEADLESSGL_H

#include <gr/ogles/EGL_Context.h>
#include <gr/ogles/GLFunctions.h>
#include <platform/HeadlessGLContext.h>
#include <ostream>
#include <vector>

/** An RGB colour read back from the framebuffer. */
struct RGB
{
	int r;
	int g;
	int b;
	bool operator==(const RGB& o) const						{ return r == o.r && g == o.g && b == o.b; }
};

/** The colours pixel tests draw with and expect back. */
inline const RGB BLACK{0, 0, 0};
inline const RGB RED{255, 0, 0};
inline const RGB GREEN{0, 255, 0};
inline const RGB BLUE{0, 0, 255};
inline const RGB WHITE{255, 255, 255};

/**
 * A real OpenGL ES 1.1 context (Mesa, no display) drawing into an RGBA8 framebuffer of the given
 * size, published as the screen's framebuffer. For pixel tests; owns the context and framebuffer,
 * which go with it. Create the device after it and release the device before it.
 */
class HeadlessGL
{
public:
	HeadlessGL(int width, int height) :
		m_width(width),
		m_height(height)
	{
		gr::GLFunctions::install(gr::GLFunctions::system(&platform::HeadlessGLContext::getProcAddress));
		const gr::GLFunctions& gl = gr::gl();
		gl.glGenFramebuffersOES(1, &m_framebuffer);
		gl.glBindFramebufferOES(GL_FRAMEBUFFER_OES, m_framebuffer);
		gl.glGenRenderbuffersOES(1, &m_colour);
		gl.glBindRenderbufferOES(GL_RENDERBUFFER_OES, m_colour);
		gl.glRenderbufferStorageOES(GL_RENDERBUFFER_OES, GL_RGBA8_OES, width, height);
		gl.glFramebufferRenderbufferOES(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_RENDERBUFFER_OES, m_colour);
		EAGLBackbufferFrameBuffer = m_framebuffer;
	}

	~HeadlessGL()
	{
		const gr::GLFunctions& gl = gr::gl();
		gl.glBindFramebufferOES(GL_FRAMEBUFFER_OES, 0);
		gl.glDeleteRenderbuffersOES(1, &m_colour);
		gl.glDeleteFramebuffersOES(1, &m_framebuffer);
		EAGLBackbufferFrameBuffer = 0;
	}

	HeadlessGL(const HeadlessGL&) = delete;
	HeadlessGL& operator=(const HeadlessGL&) = delete;

	bool complete() const
	{
		return gr::gl().glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES) == GL_FRAMEBUFFER_COMPLETE_OES;
	}

	/** The pixel at (x, y) counted from the top-left corner of the back buffer, as the touch screen counts. */
	RGB at(int x, int y) const
	{
		unsigned char p[4] = {};
		gr::gl().glFinish();
		gr::gl().glReadPixels(x, m_height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
		return RGB{p[0], p[1], p[2]};
	}

	int width() const										{ return m_width; }
	int height() const										{ return m_height; }

private:
	platform::HeadlessGLContext m_context;
	int m_width;
	int m_height;
	GLuint m_framebuffer = 0;
	GLuint m_colour = 0;
};

inline std::ostream& operator<<(std::ostream& out, const RGB& c)
{
	return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

#endif
