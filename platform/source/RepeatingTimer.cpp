#include <platform/RepeatingTimer.h>
#include <platform/Application.h>
#include <algorithm>

namespace platform {

RepeatingTimer::RepeatingTimer(Application& application, double intervalSeconds, std::function<void()> tick) :
	m_application(application),
	m_interval(std::max<int64_t>(static_cast<int64_t>(intervalSeconds * 1e6 + 0.5), 1)),
	m_next(application.currentTimeMicros() + m_interval),
	m_tick(std::move(tick)),
	m_link(application, [this] { refresh(); })
{
}

void RepeatingTimer::stop()
{
	m_link.invalidate();
}

void RepeatingTimer::refresh()
{
	const int64_t now = m_application.currentTimeMicros();
	if (now < m_next)
		return;
	m_next = now - m_next >= m_interval ? now + m_interval : m_next + m_interval;
	m_tick();
}

} // platform
