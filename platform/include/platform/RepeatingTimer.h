#ifndef PLATFORM_REPEATINGTIMER_H
#define PLATFORM_REPEATINGTIMER_H

#include <platform/DisplayLink.h>
#include <cstdint>
#include <functional>

namespace platform {

class Application;

// Calls its tick on the main thread every interval of the application's clock (the simulated
// clock when headless), checked at each display refresh, from one interval after start until
// stopped or destroyed. Owned by whoever made it; the application must outlive it. A refresh that
// comes late fires once and the next firing is one interval after it: missed firings are
// dropped, not caught up.
class RepeatingTimer
{
public:
	// Starts at once; intervals shorter than one refresh fire at every refresh (seconds).
	RepeatingTimer(Application& application, double intervalSeconds, std::function<void()> tick);
	RepeatingTimer(const RepeatingTimer&) = delete;
	RepeatingTimer& operator=(const RepeatingTimer&) = delete;

	void stop();
	bool running() const { return m_link.valid(); }
	double interval() const { return static_cast<double>(m_interval) / 1e6; }

private:
	void refresh();

	Application& m_application;
	int64_t m_interval;
	int64_t m_next;
	std::function<void()> m_tick;
	DisplayLink m_link;
};

} // platform

#endif
