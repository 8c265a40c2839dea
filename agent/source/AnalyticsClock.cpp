#include <agent/AnalyticsClock.h>
#include <chrono>
#include <mutex>

namespace {

std::mutex s_mutex;
std::function<double()> s_source;

} // namespace

double AnalyticsClock::now()
{
	{
		std::lock_guard<std::mutex> lock(s_mutex);
		if (s_source)
			return s_source();
	}
	using namespace std::chrono;
	return duration<double>(system_clock::now().time_since_epoch()).count();
}

void AnalyticsClock::setSource(std::function<double()> source)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_source = std::move(source);
}
