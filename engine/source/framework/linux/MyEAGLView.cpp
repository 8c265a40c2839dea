#include <framework/MyEAGLView.h>
#include <gr/ogles/GLFunctions.h>
#include <lang/Debug.h>
#include <platform/Application.h>
#include <platform/GLContext.h>

using gr::gl;

std::unique_ptr<MyEAGLView> MyEAGLView::initWithFrameAndParameters(platform::Application& application,
	int width, int height, int bits, bool depth)
{
	std::unique_ptr<MyEAGLView> view(new MyEAGLView(width, height, rgba8For(bits), depth));
	try
	{
		view->m_context = application.createGLContext();
	}
	catch (const std::exception&)
	{
		return nullptr;
	}
	if (!view->m_context || !view->m_context->makeCurrent())
		return nullptr;
	// The framebuffer entry points come from the context's own loader.
	if (!gl().glGenFramebuffersOES)
		gr::GLFunctions::install(gr::GLFunctions::system());
	return view;
}

MyEAGLView::MyEAGLView(int width, int height, bool rgba8, bool depth) :
	m_width(width),
	m_height(height),
	m_backingWidth(0),
	m_backingHeight(0),
	m_viewColorTexture(0),
	m_viewFramebuffer(0),
	m_depthRenderbuffer(0),
	m_rgba8(rgba8),
	m_useDepth(depth)
{
}

MyEAGLView::~MyEAGLView()
{
	if (!m_context)
		return;
	if (m_context->makeCurrent())
		destroyFramebuffer();
	m_context->clearCurrent();
}

void MyEAGLView::layoutSubviews()
{
	m_context->makeCurrent();
	destroyFramebuffer();
	createFramebuffer();
}

bool MyEAGLView::createFramebuffer()
{
	// The colour buffer is a texture so that the platform can show it turned; the texture binding
	// the rendering device expects is put back.
	GLint boundTexture = 0;
	gl().glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
	gl().glGenFramebuffersOES(1, &m_viewFramebuffer);
	gl().glGenTextures(1, &m_viewColorTexture);
	EAGLBackbufferFrameBuffer = m_viewFramebuffer;
	gl().glBindFramebufferOES(GL_FRAMEBUFFER_OES, m_viewFramebuffer);
	gl().glBindTexture(GL_TEXTURE_2D, m_viewColorTexture);
	m_backingWidth = m_context->drawableWidth();
	m_backingHeight = m_context->drawableHeight();
	if (m_rgba8)
		gl().glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, m_backingWidth, m_backingHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
	else
		gl().glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, m_backingWidth, m_backingHeight, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, nullptr);
	gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
	gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
	gl().glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
	gl().glFramebufferTexture2DOES(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, m_viewColorTexture, 0);
	if (m_useDepth)
	{
		gl().glGenRenderbuffersOES(1, &m_depthRenderbuffer);
		gl().glBindRenderbufferOES(GL_RENDERBUFFER_OES, m_depthRenderbuffer);
		gl().glRenderbufferStorageOES(GL_RENDERBUFFER_OES, GL_DEPTH_COMPONENT16_OES, m_backingWidth, m_backingHeight);
		gl().glFramebufferRenderbufferOES(GL_FRAMEBUFFER_OES, GL_DEPTH_ATTACHMENT_OES, GL_RENDERBUFFER_OES, m_depthRenderbuffer);
	}
	if (gl().glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES) != GL_FRAMEBUFFER_COMPLETE_OES)
	{
		lang::Debug::printf("failed to make complete framebuffer object!\n");
		return false;
	}
	return true;
}

void MyEAGLView::destroyFramebuffer()
{
	if (m_viewFramebuffer)
		gl().glDeleteFramebuffersOES(1, &m_viewFramebuffer);
	if (m_viewColorTexture)
		gl().glDeleteTextures(1, &m_viewColorTexture);
	m_viewFramebuffer = 0;
	m_viewColorTexture = 0;
	if (m_depthRenderbuffer)
	{
		gl().glDeleteRenderbuffersOES(1, &m_depthRenderbuffer);
		m_depthRenderbuffer = 0;
	}
}

void MyEAGLView::present()
{
	m_context->present(m_viewColorTexture);
}
