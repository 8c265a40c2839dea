#include <lang/System.h>
#include <sys/time.h>

namespace lang {

int64_t System::currentTimeMicros()
{
	timeval now;
	gettimeofday(&now, nullptr);
	return static_cast<int64_t>(now.tv_sec) * 1000000 + static_cast<int64_t>(now.tv_usec);
}

} // lang
