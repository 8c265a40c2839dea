#include <agent/ads/AnalyticsAdSession.h>
#include <chrono>
#include <mutex>

namespace {

std::mutex s_mutex;
std::shared_ptr<AnalyticsAdSession> s_current;
std::function<std::int64_t()> s_clock;

} // namespace

void AnalyticsAdSession::setCurrent(std::shared_ptr<AnalyticsAdSession> session)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_current = std::move(session);
}

std::shared_ptr<AnalyticsAdSession> AnalyticsAdSession::current()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_current;
}

std::int64_t AnalyticsAdSession::nowMillis()
{
	std::function<std::int64_t()> clock;
	{
		std::lock_guard<std::mutex> lock(s_mutex);
		clock = s_clock;
	}
	if (clock)
		return clock();
	using namespace std::chrono;
	return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void AnalyticsAdSession::setClock(std::function<std::int64_t()> clock)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_clock = std::move(clock);
}
