#ifndef FRAMEWORK_MYEAGLVIEW_H
#define FRAMEWORK_MYEAGLVIEW_H

#include <GLES/gl.h>
#include <memory>

namespace platform
{
class Application;
class GLContext;
}

/** Name of the on-screen framebuffer (kept by the rendering device), which the view publishes. */
extern GLuint EAGLBackbufferFrameBuffer;

/**
 * The view that shows the game: owns the GL context and the on-screen framebuffer, whose colour
 * buffer is the drawable texture that the platform shows, with an optional 16-bit depth buffer.
 * Created and owned by the application delegate.
 */
class MyEAGLView
{
public:
	/** Null when the context cannot be made or made current. bits 32: RGBA8, anything else RGB565. */
	static std::unique_ptr<MyEAGLView> initWithFrameAndParameters(platform::Application& application,
		int width, int height, int bits, bool depth);
	~MyEAGLView();

	/** Rebuilds the framebuffer. */
	void layoutSubviews();
	bool createFramebuffer();
	void destroyFramebuffer();
	/** Shows the colour buffer. */
	void present();

	platform::GLContext* context() const					{ return m_context.get(); }
	int backingWidth() const								{ return m_backingWidth; }
	int backingHeight() const								{ return m_backingHeight; }
	bool rgba8() const										{ return m_rgba8; }
	GLuint framebuffer() const								{ return m_viewFramebuffer; }
	/** The colour format a colour depth selects. */
	static bool rgba8For(int bits)							{ return bits == 32; }

private:
	MyEAGLView(int width, int height, bool rgba8, bool depth);

	int m_width;
	int m_height;
	int m_backingWidth;
	int m_backingHeight;
	std::unique_ptr<platform::GLContext> m_context;
	GLuint m_viewColorTexture;
	GLuint m_viewFramebuffer;
	GLuint m_depthRenderbuffer;
	bool m_rgba8;
	bool m_useDepth;

	MyEAGLView(const MyEAGLView&);
	MyEAGLView& operator=(const MyEAGLView&);
};

#endif
