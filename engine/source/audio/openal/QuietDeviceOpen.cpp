#include "QuietDeviceOpen.h"

#include <lang/Debug.h>

#include <cstdarg>
#include <cstdlib>

#include <dlfcn.h>

namespace audio {

namespace {

// OpenAL's variable for its log level; 0 prints nothing.
const char* const OPENAL_LOG_LEVEL = "ALSOFT_LOGLEVEL";
// ALSA is looked up at run time (the OpenAL library has already loaded it where it uses it), so
// quieting it adds no dependency. Its thread-local error handler, as the library declares it.
const char* const ALSA_LIBRARY = "libasound.so.2";
const char* const ALSA_SET_LOCAL_HANDLER = "snd_lib_error_set_local";
extern "C" {
typedef void (*AlsaLocalErrorHandler)(const char* file, int line, const char* function, int error, const char* format, va_list arguments);
typedef AlsaLocalErrorHandler (*AlsaSetLocalErrorHandler)(AlsaLocalErrorHandler handler);

void dropAlsaError(const char*, int, const char*, int, const char*, va_list)
{
}
}

AlsaSetLocalErrorHandler setLocalHandlerOf(void* alsa)
{
	return reinterpret_cast<AlsaSetLocalErrorHandler>(dlsym(alsa, ALSA_SET_LOCAL_HANDLER));
}

} // namespace

QuietDeviceOpen::QuietDeviceOpen() : m_logLevelSet(false), m_alsa(nullptr), m_previousAlsaHandler(nullptr)
{
	if (lang::Debug::isEnabled())
		return;
	if (std::getenv(OPENAL_LOG_LEVEL) == nullptr)
		m_logLevelSet = setenv(OPENAL_LOG_LEVEL, "0", 0) == 0;
	m_alsa = dlopen(ALSA_LIBRARY, RTLD_LAZY | RTLD_LOCAL);
	if (!m_alsa)
		return;
	const AlsaSetLocalErrorHandler setLocalHandler = setLocalHandlerOf(m_alsa);
	if (!setLocalHandler)
	{
		dlclose(m_alsa);
		m_alsa = nullptr;
		return;
	}
	m_previousAlsaHandler = reinterpret_cast<void*>(setLocalHandler(dropAlsaError));
}

QuietDeviceOpen::~QuietDeviceOpen()
{
	if (m_alsa)
	{
		setLocalHandlerOf(m_alsa)(reinterpret_cast<AlsaLocalErrorHandler>(m_previousAlsaHandler));
		dlclose(m_alsa);
	}
	// Children started later see the environment the user gave.
	if (m_logLevelSet)
		unsetenv(OPENAL_LOG_LEVEL);
}

} // audio
