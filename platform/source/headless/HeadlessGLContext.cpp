#include <platform/HeadlessGLContext.h>
#include <lang/Exception.h>
#include <lang/Format.h>
#include <lang/String.h>
#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace platform
{

// Live contexts on the shared display; the display is terminated only when the last one goes,
// since terminating it would pull the ground from under any other context of the process.
static int s_liveContexts = 0;

static void fail(const char* step)
{
	lang::throwError(lang::Exception(lang::Format(lang::String("Failed to create headless GL context: {0}"),
		lang::Formattable(step))));
}

static EGLDisplay openSurfacelessDisplay()
{
	// The default platform is X11, which fails with no display server: ask for Mesa's surfaceless one.
	typedef EGLDisplay (*GetPlatformDisplay)(EGLenum, void*, const EGLint*);
	GetPlatformDisplay getPlatformDisplay = (GetPlatformDisplay)eglGetProcAddress("eglGetPlatformDisplayEXT");
	if (!getPlatformDisplay)
		fail("eglGetPlatformDisplayEXT missing");
	EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
	if (display == EGL_NO_DISPLAY)
		fail("no surfaceless display");
	if (!eglInitialize(display, nullptr, nullptr))
		fail("eglInitialize");
	return display;
}

HeadlessGLContext::HeadlessGLContext() :
	m_display(nullptr),
	m_context(nullptr)
{
	EGLDisplay display = openSurfacelessDisplay();
	++s_liveContexts;
	m_display = display;

	const EGLint configAttributes[] = {
		EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
		EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
		EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
		EGL_NONE
	};
	EGLConfig config = nullptr;
	EGLint configs = 0;
	const char* failedStep = nullptr;
	if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1)
		failedStep = "no ES 1 config";
	else if (!eglBindAPI(EGL_OPENGL_ES_API))
		failedStep = "eglBindAPI";
	else
	{
		const EGLint contextAttributes[] = { EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE };
		m_context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
		if (m_context == EGL_NO_CONTEXT)
			failedStep = "eglCreateContext";
		else if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, (EGLContext)m_context))
			failedStep = "eglMakeCurrent";
	}
	if (failedStep)
	{
		release();
		fail(failedStep);
	}
}

HeadlessGLContext::~HeadlessGLContext()
{
	release();
}

void HeadlessGLContext::release()
{
	if (!m_display)
		return;
	EGLDisplay display = (EGLDisplay)m_display;
	if (m_context)
	{
		if (eglGetCurrentContext() == (EGLContext)m_context)
			eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
		eglDestroyContext(display, (EGLContext)m_context);
		m_context = nullptr;
	}
	if (--s_liveContexts == 0)
		eglTerminate(display);
	m_display = nullptr;
}

void HeadlessGLContext::makeCurrent()
{
	eglMakeCurrent((EGLDisplay)m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, (EGLContext)m_context);
}

HeadlessGLContext::Proc HeadlessGLContext::getProcAddress(const char* name)
{
	return eglGetProcAddress(name);
}

} // platform
