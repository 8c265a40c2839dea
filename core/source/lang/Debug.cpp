#include <lang/Debug.h>
#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace lang {

namespace {

std::atomic<bool> s_enabled{false};

} // namespace

void Debug::printf(const char* format, ...)
{
	if (!s_enabled.load(std::memory_order_relaxed))
		return;
	va_list args;
	va_start(args, format);
	std::vfprintf(stderr, format, args);
	va_end(args);
}

void Debug::setEnabled(bool enabled)
{
	s_enabled.store(enabled, std::memory_order_relaxed);
}

bool Debug::isEnabled()
{
	return s_enabled.load(std::memory_order_relaxed);
}

} // lang
