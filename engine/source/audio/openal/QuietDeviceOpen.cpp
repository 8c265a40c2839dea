#include "QuietDeviceOpen.h"

#include <lang/Debug.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

namespace audio {

namespace {

// OpenAL's variable for its log level; 0 prints nothing.
const char* const OPENAL_LOG_LEVEL = "ALSOFT_LOGLEVEL";
char QUIET_LOG_LEVEL[] = "ALSOFT_LOGLEVEL=0";
// Whether a scope has come first; OpenAL takes its level at the open of that scope.
std::atomic<bool> s_openedBefore(false);
// The copy of the environment with the quiet level, kept for the process: a thread that took the
// pointer while it was current may still be reading it.
std::vector<char*> s_quietEnvironment;
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

QuietDeviceOpen::QuietDeviceOpen() : m_userEnvironment(nullptr), m_alsa(nullptr), m_previousAlsaHandler(nullptr)
{
	const bool first = !s_openedBefore.exchange(true);
	if (lang::Debug::isEnabled())
		return;
	if (first && std::getenv(OPENAL_LOG_LEVEL) == nullptr)
	{
		m_userEnvironment = environ;
		for (char** variable = environ; variable && *variable; ++variable)
			s_quietEnvironment.push_back(*variable);
		s_quietEnvironment.push_back(QUIET_LOG_LEVEL);
		s_quietEnvironment.push_back(nullptr);
		__atomic_store_n(&environ, s_quietEnvironment.data(), __ATOMIC_SEQ_CST);
	}
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
	// Children started later see the environment the user gave, unless the process changed its
	// environment meanwhile: that change, made on the copy, stays.
	if (m_userEnvironment)
	{
		char** quiet = s_quietEnvironment.data();
		__atomic_compare_exchange_n(&environ, &quiet, m_userEnvironment, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
	}
}

} // audio
