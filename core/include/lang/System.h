#ifndef LANG_SYSTEM_H
#define LANG_SYSTEM_H

#include <cstdint>

namespace lang {

// Process-wide clock access; stateless.
class System
{
public:
	// Wall-clock time of day in microseconds since the epoch (follows clock changes).
	static int64_t currentTimeMicros();
};

} // lang

#endif
