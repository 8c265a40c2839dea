#include <gr/ogles/GLFunctions.h>
#include <EGL/egl.h>

namespace gr
{

GLFunctions GLFunctions::system(ProcLoader loader)
{
	if (!loader)
		loader = reinterpret_cast<ProcLoader>(&eglGetProcAddress);
	GLFunctions functions;
#define GR_GL_CORE_LINK(name) functions.name = &::name;
#define GR_GL_OES_LOAD(name, type) functions.name = reinterpret_cast<type>(loader(#name));
	GR_GL_CORE_FUNCTIONS(GR_GL_CORE_LINK)
	GR_GL_OES_FUNCTIONS(GR_GL_OES_LOAD)
#undef GR_GL_CORE_LINK
#undef GR_GL_OES_LOAD
	return functions;
}

GLFunctions& GLFunctions::installed()
{
	// Made on first use, so programs that never draw never look up GL entry points.
	static GLFunctions functions = system();
	return functions;
}

void GLFunctions::install(const GLFunctions& functions)
{
	installed() = functions;
}

} // gr
