#ifndef TESTS_SUPPORT_RECORDINGGL_H
#define TESTS_SUPPORT_RECORDINGGL_H

#include <gr/ogles/GLFunctions.h>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

/** One GL call as recorded: the entry point's name and its arguments as numbers (pointers as addresses). */
struct GLCall
{
	std::string name;
	std::vector<double> args;
};

/**
 * A stand-in for the GL library that records every call the device makes, for call-order tests
 * without a GL context. Installing one (construction) replaces the process-wide GL table; the
 * destructor puts the previous table back. One may be live at a time.
 */
class RecordingGL
{
public:
	std::vector<GLCall> calls;
	/** What the queries answer. */
	GLint maxTextureSize = 2048;
	GLint framebufferBinding = 0;
	GLenum framebufferStatus = GL_FRAMEBUFFER_COMPLETE_OES;
	std::string extensions = "GL_OES_framebuffer_object GL_OES_compressed_ETC1_RGB8_texture";
	GLuint nextName = 1;

	RecordingGL() : m_previous(gr::GLFunctions::current())
	{
		active() = this;
		gr::GLFunctions::install(table());
	}

	~RecordingGL()
	{
		gr::GLFunctions::install(m_previous);
		active() = nullptr;
	}

	RecordingGL(const RecordingGL&) = delete;
	RecordingGL& operator=(const RecordingGL&) = delete;

	void clear()											{ calls.clear(); }

	/** Calls of that name whose leading arguments equal args. */
	int count(const char* name, std::initializer_list<double> args = {}) const
	{
		int n = 0;
		for (const GLCall& call : calls)
			n += matches(call, name, args) ? 1 : 0;
		return n;
	}

	/** Names of the calls in order, for whole-sequence comparisons. */
	std::vector<std::string> names() const
	{
		std::vector<std::string> result;
		for (const GLCall& call : calls)
			result.push_back(call.name);
		return result;
	}

	/** The last call of that name; fails the lookup with an empty record. */
	GLCall last(const char* name) const
	{
		for (auto it = calls.rbegin(); it != calls.rend(); ++it)
			if (it->name == name)
				return *it;
		return GLCall();
	}

	static RecordingGL*& active()							{ static RecordingGL* instance = nullptr; return instance; }

	template <class T>
	static double toNumber(T value)
	{
		if constexpr (std::is_pointer<T>::value)
			return (double)reinterpret_cast<uintptr_t>(value);
		else
			return (double)value;
	}

	template <class... A>
	static void record(const char* name, A... args)
	{
		active()->calls.push_back(GLCall{name, {toNumber(args)...}});
	}

private:
	static bool matches(const GLCall& call, const char* name, std::initializer_list<double> args)
	{
		if (call.name != name || call.args.size() < args.size())
			return false;
		size_t i = 0;
		for (double a : args)
			if (call.args[i++] != a)
				return false;
		return true;
	}

	static void GL_APIENTRY genNames(GLsizei n, GLuint* names, const char* name)
	{
		record(name, n, names);
		for (GLsizei i = 0; i < n; ++i)
			names[i] = active()->nextName++;
	}
	static void GL_APIENTRY glGenTextures(GLsizei n, GLuint* names)		{ genNames(n, names, "glGenTextures"); }
	static void GL_APIENTRY glGenBuffers(GLsizei n, GLuint* names)		{ genNames(n, names, "glGenBuffers"); }
	static void GL_APIENTRY glGenFramebuffersOES(GLsizei n, GLuint* names)	{ genNames(n, names, "glGenFramebuffersOES"); }
	static void GL_APIENTRY glGenRenderbuffersOES(GLsizei n, GLuint* names)	{ genNames(n, names, "glGenRenderbuffersOES"); }

	static void GL_APIENTRY glGetIntegerv(GLenum name, GLint* value)
	{
		record("glGetIntegerv", name);
		if (name == GL_MAX_TEXTURE_SIZE)
			*value = active()->maxTextureSize;
		else if (name == GL_FRAMEBUFFER_BINDING_OES)
			*value = active()->framebufferBinding;
		else
			*value = 0;
	}

	static const GLubyte* GL_APIENTRY glGetString(GLenum name)
	{
		record("glGetString", name);
		return reinterpret_cast<const GLubyte*>(name == GL_EXTENSIONS ? active()->extensions.c_str() : "");
	}

	static GLenum GL_APIENTRY glCheckFramebufferStatusOES(GLenum target)
	{
		record("glCheckFramebufferStatusOES", target);
		return active()->framebufferStatus;
	}

	template <const char* Name, class F>
	struct Recorder;

	template <const char* Name, class R, class... A>
	struct Recorder<Name, R (GL_APIENTRY*)(A...)>
	{
		static R GL_APIENTRY call(A... args)
		{
			record(Name, args...);
			if constexpr (!std::is_void<R>::value)
				return R();
		}
	};

	static gr::GLFunctions table();

	gr::GLFunctions m_previous;
};

namespace recording_gl_names
{
#define RECORDING_GL_CORE_NAME(name) inline constexpr char name[] = #name;
#define RECORDING_GL_OES_NAME(name, type) inline constexpr char name[] = #name;
GR_GL_CORE_FUNCTIONS(RECORDING_GL_CORE_NAME)
GR_GL_OES_FUNCTIONS(RECORDING_GL_OES_NAME)
#undef RECORDING_GL_CORE_NAME
#undef RECORDING_GL_OES_NAME
}

inline gr::GLFunctions RecordingGL::table()
{
	gr::GLFunctions functions;
#define RECORDING_GL_CORE_ENTRY(name) functions.name = &Recorder<recording_gl_names::name, decltype(functions.name)>::call;
#define RECORDING_GL_OES_ENTRY(name, type) functions.name = &Recorder<recording_gl_names::name, type>::call;
	GR_GL_CORE_FUNCTIONS(RECORDING_GL_CORE_ENTRY)
	GR_GL_OES_FUNCTIONS(RECORDING_GL_OES_ENTRY)
#undef RECORDING_GL_CORE_ENTRY
#undef RECORDING_GL_OES_ENTRY
	functions.glGenTextures = &RecordingGL::glGenTextures;
	functions.glGenBuffers = &RecordingGL::glGenBuffers;
	functions.glGenFramebuffersOES = &RecordingGL::glGenFramebuffersOES;
	functions.glGenRenderbuffersOES = &RecordingGL::glGenRenderbuffersOES;
	functions.glGetIntegerv = &RecordingGL::glGetIntegerv;
	functions.glGetString = &RecordingGL::glGetString;
	functions.glCheckFramebufferStatusOES = &RecordingGL::glCheckFramebufferStatusOES;
	return functions;
}

#endif
