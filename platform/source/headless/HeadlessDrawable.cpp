#include "HeadlessDrawable.h"
#include <platform/HeadlessApplication.h>
#include <EGL/egl.h>
#include <GLES/gl.h>
#include <GLES/glext.h>

namespace platform {

namespace {

// The drawable made current last; its EGL context itself is private to HeadlessGLContext.
const HeadlessDrawable* s_current = nullptr;

// A GL entry point of the OES framebuffer extension, as its function pointer type.
template <class F>
F extensionProc(const char* name)
{
	return reinterpret_cast<F>(HeadlessGLContext::getProcAddress(name));
}

} // namespace

HeadlessDrawable::HeadlessDrawable(HeadlessApplication& application) :
	m_application(application)
{
	// The context is made current by its construction.
	s_current = this;
}

HeadlessDrawable::~HeadlessDrawable()
{
	if (m_readFramebuffer && makeCurrent())
		extensionProc<PFNGLDELETEFRAMEBUFFERSOESPROC>("glDeleteFramebuffersOES")(1, &m_readFramebuffer);
	if (s_current == this)
		s_current = nullptr;
	m_application.drawableDestroyed(this);
}

bool HeadlessDrawable::makeCurrent()
{
	m_context.makeCurrent();
	s_current = this;
	return true;
}

bool HeadlessDrawable::isCurrent() const
{
	return s_current == this && eglGetCurrentContext() != EGL_NO_CONTEXT;
}

void HeadlessDrawable::clearCurrent()
{
	eglMakeCurrent(eglGetCurrentDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
	s_current = nullptr;
}

bool HeadlessDrawable::present(unsigned texture)
{
	m_presented = texture;
	++m_presents;
	// The frame goes to the driver as a shown one would: unflushed, the software rasterizer would
	// gather frame after frame into one ever larger batch and take its memory back from the
	// system each time it finally draws them.
	glFlush();
	return true;
}

std::vector<uint8_t> HeadlessDrawable::readPresented()
{
	if (!m_presented)
		return {};
	const auto bindFramebuffer = extensionProc<PFNGLBINDFRAMEBUFFEROESPROC>("glBindFramebufferOES");
	GLint bound = 0;
	glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &bound);
	if (!m_readFramebuffer)
		extensionProc<PFNGLGENFRAMEBUFFERSOESPROC>("glGenFramebuffersOES")(1, &m_readFramebuffer);
	bindFramebuffer(GL_FRAMEBUFFER_OES, m_readFramebuffer);
	extensionProc<PFNGLFRAMEBUFFERTEXTURE2DOESPROC>("glFramebufferTexture2DOES")(GL_FRAMEBUFFER_OES,
		GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, m_presented, 0);
	std::vector<uint8_t> pixels(static_cast<size_t>(drawableWidth()) * drawableHeight() * 4);
	glReadPixels(0, 0, drawableWidth(), drawableHeight(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	bindFramebuffer(GL_FRAMEBUFFER_OES, static_cast<GLuint>(bound));
	return pixels;
}

} // platform
