#include <lang/Integer.h>
#include <cerrno>
#include <cstdlib>

namespace lang
{

int Integer::parse(const char* text, const char** end, int* error)
{
	char* stop = nullptr;
	errno = 0;
	const long value = std::strtol(text, &stop, 10);
	const bool overflow = errno == ERANGE || value > MAX_VALUE || value < MIN_VALUE;
	if (end)
		*end = stop;
	if (error)
		*error = stop == text ? ERROR_NO_DIGITS : (overflow ? ERROR_RANGE : 0);
	if (overflow)
		return value < 0 ? MIN_VALUE : MAX_VALUE;
	return static_cast<int>(value);
}

} // lang
