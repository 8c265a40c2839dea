// Scans arbitrary text as decimal numbers the way the property and bundle-index readers do:
// repeatedly from each end position, through every number scanner. The integer parser's error
// must match where it stopped and what it returned, and asking for it must not change the value.
#include <lang/Float.h>
#include <lang/FormatException.h>
#include <lang/Integer.h>
#include <lang/String.h>
#include <math/Domain.h>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string text(reinterpret_cast<const char*>(data), size);
	const char* const start = text.c_str();
	const char* const limit = start + text.size();

	for (const char* s = start; s < limit && *s;)
	{
		const char* end = s;
		int error = 0;
		lang::String::scanDouble(s, &end, &error);
		if (end < s || end > limit || (error != 0 && error != 623 && error != 648))
			__builtin_trap();
		s = end > s ? end : s + 1;
	}
	for (const char* s = start; s < limit && *s;)
	{
		const char* end = s;
		int error = -1;
		const int value = lang::Integer::parse(s, &end, &error);
		const bool noDigits = error == lang::Integer::ERROR_NO_DIGITS;
		const bool clamped = value == lang::Integer::MAX_VALUE || value == lang::Integer::MIN_VALUE;
		if (end < s || end > limit || noDigits != (end == s) || (noDigits && value != 0) ||
			(error == lang::Integer::ERROR_RANGE && !clamped) || (error != 0 && !noDigits && error != lang::Integer::ERROR_RANGE) ||
			lang::Integer::parse(s) != value)
			__builtin_trap();
		s = end > s ? end : s + 1;
	}
	try
	{
		lang::Float::parse(start);
	}
	catch (const lang::FormatException&)
	{
	}
	math::Domain::toDomainType(start);
	return 0;
}
