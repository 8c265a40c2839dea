#ifndef PLATFORM_HEADLESSGLCONTEXT_H
#define PLATFORM_HEADLESSGLCONTEXT_H

namespace platform
{

/**
 * An OpenGL ES 1.1 context with no window and no surface, made current on the
 * thread that creates it. Drawing goes to framebuffer objects the user makes.
 * Owned by its creator (not copyable); destroy it on the thread that uses it.
 */
class HeadlessGLContext
{
public:
	/** Address of a GL or EGL entry point, null when unknown. */
	typedef void (*Proc)();

	/**
	 * Opens the surfaceless display and makes a new ES 1.1 context current.
	 * Throws lang::Exception "Failed to create headless GL context: {0}" naming the failed step.
	 */
	HeadlessGLContext();

	/** Releases the context; the display is given up with the last live context. */
	~HeadlessGLContext();

	HeadlessGLContext(const HeadlessGLContext&) = delete;
	HeadlessGLContext& operator=(const HeadlessGLContext&) = delete;

	/** Makes this context current on the calling thread again. */
	void makeCurrent();

	/** Looks up an entry point, extension ones (the OES framebuffer calls) included. */
	static Proc getProcAddress(const char* name);

private:
	void release();

	void* m_display;
	void* m_context;
};

} // platform

#endif
